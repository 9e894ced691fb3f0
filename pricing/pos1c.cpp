// Till code and inventory item prices, and re-pricing by quantity breaks and
// the quantity matrix.
#include <cstdlib>
#include <cstring>

#include "platform/base/kvtbase.h"
#include "pricing/prices.h"

namespace kvt::pricing {

namespace {

std::string Formatted(const std::string& format, double value) {
  char buf[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(buf, sizeof buf, format.c_str(), value + 0.0);
#pragma GCC diagnostic pop
  return buf;
}

// A markdown of "10%" takes ten percent off the price; any other a fixed amount.
double MarkedDown(double price, const std::string& markdown) {
  double md = std::atof(markdown.c_str());
  bool percent = !markdown.empty() && markdown.back() == '%';
  return price - (percent ? price * md * 0.01 : md);
}

// A till code signed negative shows every price below zero, any other above.
double Signed(double price, bool negative) {
  return (price > 0 && negative) || (price < 0 && !negative) ? -price : price;
}

// "MMDDYYYY" as "MM/DD/YYYY"; "" when it is not a date.
std::string SlashDate(const std::string& mmddyyyy) {
  if (mmddyyyy.size() != 8 || MakeDateYYYYMMDD(mmddyyyy.c_str()) == 0) return "";
  return mmddyyyy.substr(0, 2) + "/" + mmddyyyy.substr(2, 2) + "/" + mmddyyyy.substr(4);
}

std::string Units(double qty) {
  char buf[32];
  KVTsprintf(buf, "%.0f", qty);
  return buf;
}

}  // namespace

std::string PriceFormat::Price(double value) const {
  return Formatted(price, KVTRound(value, decimals));
}

std::string PriceFormat::Amount(double value) const {
  return Formatted(total, KVTRound(value, 2));
}

bool WindowHolds(const std::string& begin, const std::string& end, long today) {
  return MakeDateYYYYMMDD(begin.c_str()) <= today && today <= MakeDateYYYYMMDD(end.c_str());
}

std::string ApplyRoundingRules(std::string price, const RoundingRule& first,
                               const RoundingRule& second) {
  price = Trimmed(price);
  if (price.empty()) return price;
  char& last = price.back();
  auto apply = [&last](const RoundingRule& rule) {
    std::string below = Trimmed(rule.below), mark = Trimmed(rule.mark);
    if (below.empty() || mark.empty()) return false;
    int limit = std::atoi(below.c_str());
    int digit = last >= '0' && last <= '9' ? last - '0' : 0;
    if (limit != 0 && digit >= limit) return false;
    last = mark[0];
    return true;
  };
  if (!apply(first)) apply(second);
  return price;
}

TillCodePrice PriceTillCode(const TillCode& code, const PriceFormat& format, long today) {
  TillCodePrice out;
  out.hasSecret = !code.secret.empty();
  out.zeroPriced = code.retail == "0.00";
  double price = std::atof(code.retail.c_str());
  double secret = std::atof(code.secret.c_str());
  if (WindowHolds(code.begin, code.end, today)) {
    price = MarkedDown(price, code.markdown);
    if (secret != 0) secret = MarkedDown(secret, code.markdown);
  }
  out.regular =
      ApplyRoundingRules(format.Price(Signed(price, code.negative)), code.rule1, code.rule2);
  out.secret =
      ApplyRoundingRules(format.Price(Signed(secret, code.negative)), code.rule1, code.rule2);
  return out;
}

std::string TillCodePrice::Toggled(const std::string& current, const PriceFormat& format) const {
  bool atRegular =
      format.Price(std::atof(current.c_str())) == format.Price(std::atof(regular.c_str()));
  return hasSecret && atRegular ? secret : regular;
}

double TotalQuantity(const std::vector<PricedLine>& lines, const std::string& item,
                     const std::string& mix) {
  if (item.empty() && mix.empty()) return 0;
  double total = 0;
  for (const PricedLine& line : lines)
    if (!line.isVoid && (!item.empty() ? line.ref == item : line.mix == mix)) total += line.qty;
  return total;
}

double UnitPriceForBreaks(double price, double total, const std::array<PriceBreak, 3>& breaks) {
  for (const PriceBreak& b : breaks)
    if (!b.qty.empty() && std::atof(b.qty.c_str()) <= total) price = std::atof(b.price.c_str());
  return price;
}

Looked<TillCode> Prices::FindTillCode(const std::string& code, const std::string& store) {
  kvt::sql::Result r = tillCode_.Run({kvt::sql::Text(code), kvt::sql::Text(store)});
  if (!r.ok()) return Fail<TillCode>("The price of till code " + code, r.error());
  if (r.found() == Found::No) return {};
  const kvt::sql::Row& row = r.first();
  auto col = [&row](const char* name) { return Trimmed(row[name]); };
  return Answer(TillCode{col("RETUNIT"),
                         col("SECRETUNIT"),
                         col("MARKDOWN"),
                         col("BEGINDATE"),
                         col("ENDDATE"),
                         col("PRICESIGN") == "N",
                         {col("RND1LT"), col("RND1MKLD")},
                         {col("RND2LT"), col("RND2MKLD")}});
}

Looked<ModuleAnswer> Prices::ModulePrice(const PriceQuestion& question) {
  Looked<ModuleAnswer> answer = inventory_.Ask(question);
  if (!answer.yes()) return answer;
  ModuleAnswer& a = answer.value;
  double qty = std::atof(question.qty.c_str());
  if (qty == 0) qty = 1;  // no per-unit division: the net price of one unit
  a.price = format.Price(inventory_.NetAmount(qty, a.price, a.discount) / qty);
  return answer;
}

Looked<bool> Prices::UseDirectTables(const Till& till) {
  if (!till.mssqlOffice) return Answer(false);
  kvt::sql::Result r = tillConnection_.Run({kvt::sql::Text(till.store), kvt::sql::Text(till.till)});
  if (!r.ok()) return Fail<bool>("How till " + till.till + " reaches the office", r.error());
  return Answer(r.found() == Found::Yes && Trimmed(r.first()["CONTYPE"]) == "D");
}

Looked<ItemPrice> Prices::InventoryPrice(const PriceQuestion& question, const Till& till,
                                         const Looked<Promotion>* known) {
  auto failed = [&](const std::string& why) {
    return Fail<ItemPrice>("The price of item " + question.item, why);
  };
  Looked<ModuleAnswer> module = ModulePrice(question);
  if (module.failed()) return {Found::Failed, {}, module.error};
  ItemPrice out{module.value.price, module.value.discount, module.value.cost, false};

  std::vector<kvt::sql::Value> at = {kvt::sql::Text(question.item),
                                     kvt::sql::Text(question.location)};
  Looked<Promotion> promotion;
  if (known) {
    promotion = *known;
  } else {
    kvt::sql::Result r = promotion_.Run(at);
    if (!r.ok()) return failed(r.error());
    if (r.found() == Found::Yes)
      promotion =
          Answer(Promotion{r.first()["BEGINDATE"], r.first()["ENDDATE"], r.first()["PPRICE1"]});
  }
  if (promotion.yes() &&
      WindowHolds(Trimmed(promotion.value.begin), Trimmed(promotion.value.end), today)) {
    out.price = format.Price(std::atof(promotion.value.price.c_str()));
    out.fixed = true;
  }

  std::string shiftDate = SlashDate(till.shiftDate);
  if (shiftDate.empty()) return Answer(std::move(out));
  Looked<bool> direct = UseDirectTables(till);
  if (direct.failed()) return {Found::Failed, {}, direct.error};
  at.push_back(kvt::sql::Date(shiftDate));
  at.push_back(kvt::sql::Date(shiftDate));
  const std::vector<kvt::sql::Value> day = at;
  at.insert(at.end(), day.begin(), day.end());  // the retail price's values, then the cost's
  kvt::sql::Result dated = (direct.value ? datedDirect_ : dated_).Run(at);
  if (!dated.ok()) return failed(dated.error());
  bool retail = false, cost = false;
  for (const kvt::sql::Row& row : dated.rows()) {
    if (row["KIND"] == "R" && !retail) {
      retail = out.fixed = true;
      out.price = format.Price(row.Num("VALUE"));
    } else if (row["KIND"] == "C" && !cost) {
      cost = true;
      out.cost = Trimmed(row["VALUE"]);
    }
  }
  return Answer(std::move(out));
}

Looked<std::string> Prices::CategoryCost(const std::string& category, const std::string& store) {
  kvt::sql::Result r = categoryCost_.Run({kvt::sql::Text(category), kvt::sql::Text(store)});
  if (!r.ok()) return Fail<std::string>("The cost of sales category " + category, r.error());
  if (r.found() == Found::No) return {};
  return Answer(Trimmed(r.first()["COSTUNIT"]));
}

void Prices::PriceItemLines(std::vector<PricedLine>& lines, const std::string& item,
                            const std::string& price, const std::string* discount) const {
  for (PricedLine& line : lines) {
    if (line.isVoid || line.ref != item) continue;
    line.price = price;
    line.amount = format.Amount(std::atof(price.c_str()) * line.qty);
    line.repriced = true;
    if (discount) line.discount = *discount;
  }
}

Repriced Prices::ApplyUnitPricing(std::vector<PricedLine>& lines, const std::string& item,
                                  const std::string& location) {
  kvt::sql::Result r = breaks_.Run({kvt::sql::Text(item), kvt::sql::Text(location)});
  if (!r.ok()) return Fail<bool>("The quantity breaks of item " + item, r.error());
  if (r.found() == Found::No) return {};
  const kvt::sql::Row& row = r.first();
  std::array<PriceBreak, 3> breaks = {PriceBreak{Trimmed(row["PQTY1"]), Trimmed(row["PUPRICE1"])},
                                      PriceBreak{Trimmed(row["PQTY2"]), Trimmed(row["PUPRICE2"])},
                                      PriceBreak{Trimmed(row["PQTY3"]), Trimmed(row["PUPRICE3"])}};
  if (breaks[0].qty.empty() && breaks[1].qty.empty() && breaks[2].qty.empty()) return {};

  double total = TotalQuantity(lines, item, "");
  Looked<ModuleAnswer> module = ModulePrice({"", "", item, location, Units(total), true});
  if (module.failed()) return {Found::Failed, false, module.error};
  std::string price = module.value.price;
  // Below the first break the module's price stands, even when a later
  // break's quantity is reached.
  if (std::atof(breaks[0].qty.c_str()) <= total)
    price = format.Price(UnitPriceForBreaks(std::atof(price.c_str()), total, breaks));
  PriceItemLines(lines, item, price, nullptr);
  return Answer(true);
}

Repriced Prices::ApplyMatrixPricing(std::vector<PricedLine>& lines, const std::string& item,
                                    const std::string& location) {
  // The levels live in the inventory module, which is given the summed quantity.
  Looked<ModuleAnswer> module =
      ModulePrice({"", "", item, location, Units(TotalQuantity(lines, item, "")), true});
  if (module.failed()) return {Found::Failed, false, module.error};
  PriceItemLines(lines, item, module.value.price, &module.value.discount);
  return Answer(true);
}

}  // namespace kvt::pricing

// The sale's tax table: one line's tax per code, the rows a line keeps as it
// changes, the sale's tax and the amounts saved; the tax tables' reads.
#include <cstdlib>

#include "platform/base/kvtbase.h"
#include "pricing/taxtable.h"

namespace kvt::pricing {

std::optional<double> CalculateTax(double amount, double percent, double cap) {
  if (amount == 0) return 0.0;
  if (KVTRound(percent, 1) <= 0) return std::nullopt;
  double tax = percent * 0.01 * amount;
  // The cap holds per line and tax code; one that rounds to no cents is none.
  if (KVTRound(cap, 2) > 0 && cap < tax) tax = cap;
  return tax;
}

void TaxTable::AdjustLine(const std::string& link, double amount, bool taxed) {
  for (auto row = rows_.begin(); row != rows_.end();) {
    if (row->link != link) {
      ++row;
    } else if (!taxed) {
      row = rows_.erase(row);
    } else {
      row->amount = CalculateTax(amount, std::atof(row->rate.c_str()), std::atof(row->cap.c_str()));
      ++row;
    }
  }
}

double TaxTable::Total() const {
  std::vector<std::pair<std::string, double>> perCode;
  for (const TaxRow& row : rows_) {
    auto code = perCode.begin();
    while (code != perCode.end() && code->first != row.code) ++code;
    if (code == perCode.end()) code = perCode.insert(code, {row.code, 0.0});
    code->second += row.amount.value_or(0);
  }
  double total = 0;
  for (const auto& code : perCode) total += KVTRound(code.second, 2);
  return KVTRound(total, 2);
}

std::vector<double> TaxTable::SaveAmounts(double saleTax) const {
  std::vector<double> out;
  double target = KVTRound(saleTax, 2);
  double running = 0;
  for (const TaxRow& row : rows_) {
    double amount = KVTRound(row.amount.value_or(0), 2);
    running += amount;
    out.push_back(amount);
  }
  if (!out.empty() && target != KVTRound(running, 2))
    out.back() = KVTRound(target - (running - out.back()), 2);
  return out;
}

void TaxTables::Forget() {
  authorities_.clear();
  rows_.clear();
}

Looked<std::string> TaxTables::CategoryAuthority(const std::string& category,
                                                 const std::string& store) {
  auto kept = authorities_.find({category, store});
  if (kept != authorities_.end()) return kept->second;
  kvt::sql::Result r = category_.Run({kvt::sql::Text(category), kvt::sql::Text(store)});
  if (!r.ok())
    return Fail<std::string>("The tax authority of sales category " + category, r.error());
  Looked<std::string> a;
  if (r.found() == Found::Yes) a = Answer(Trimmed(r.first()["TAXAUTH"]));
  return authorities_[{category, store}] = a;
}

Looked<std::vector<TaxRow>> TaxTables::RowsOf(const std::string& authority,
                                              const std::string& link) {
  auto kept = rows_.find(authority);
  if (kept == rows_.end()) {
    Looked<std::vector<TaxRow>> read = ReadRowsOf(authority);
    if (read.failed()) return read;
    kept = rows_.emplace(authority, std::move(read)).first;
  }
  Looked<std::vector<TaxRow>> rows = kept->second;
  for (TaxRow& row : rows.value) row.link = link;
  return rows;
}

Looked<std::vector<TaxRow>> TaxTables::ReadRowsOf(const std::string& authority) {
  auto failed = [&](const kvt::sql::Result& r) {
    return Fail<std::vector<TaxRow>>("The tax codes of authority " + authority, r.error());
  };
  kvt::sql::Result codes = codes_.Run({kvt::sql::Text(authority)});
  if (!codes.ok()) return failed(codes);
  std::vector<TaxRow> rows;
  for (const kvt::sql::Row& code : codes.rows()) {
    kvt::sql::Result rate = rate_.Run({kvt::sql::Text(code["TAXCODE"])});
    if (!rate.ok()) return failed(rate);
    if (rate.found() == Found::No) continue;  // a code without a rate taxes nothing
    rows.push_back({code["TAXCODE"], rate.first()["TAXRATE"], rate.first()["AMOUNT"], {}, {}});
  }
  Found found = rows.empty() ? Found::No : Found::Yes;
  return Answer(std::move(rows), found);
}

}  // namespace kvt::pricing

// The report module's documents.
#include "suite/kvtposr/documents.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/base/textwidth.h"

namespace kvt::posr {

namespace {

// Widths count characters, not bytes: "Café" takes four columns, and a cut
// never splits a character.
std::string Fit(const std::string& s, std::size_t chars) {
  return KVTCut(s, SIZE_MAX, chars);
}

std::string Center(const std::string& s, int width) {
  std::size_t w = static_cast<std::size_t>(width);
  std::string t = Fit(s, w);
  return std::string((w - KVTCharCount(t)) / 2, ' ') + t;
}

// `left` then `right` right-aligned in `width`; the left side is cut to
// leave a blank before the right one.
std::string Row(const std::string& left, const std::string& right, int width) {
  std::size_t w = static_cast<std::size_t>(width);
  std::string r = Fit(right, w);
  std::size_t rn = KVTCharCount(r);
  std::string l = Fit(left, r.empty() ? w : (w > rn ? w - rn - 1 : 0));
  return l + std::string(w - KVTCharCount(l) - rn, ' ') + r;
}

std::string Rule(int width, char c = '-') {
  return std::string(static_cast<std::size_t>(width), c);
}

std::string CityLine(const Address& a) {
  std::string line = a.city;
  if (!a.state.empty()) line += (line.empty() ? "" : ", ") + a.state;
  if (!a.zip.empty()) line += (line.empty() ? "" : " ") + a.zip;
  return line;
}

const char* Kind(const Sale& s) {
  if (s.status == "V") return "*** VOID ***";
  if (s.transType == "N") return "*** NO SALE ***";
  if (s.transType == "P") return "PAID ON ACCOUNT";
  if (s.transType == "A" || s.transType == "H") return "RETURN";
  if (s.transType == "C") return "CASHED CHECK";
  return "";
}

void Totals(std::ostringstream& out, const Sale& s, const DocumentOptions& o, int width) {
  const std::string indent(static_cast<std::size_t>(width / 2), ' ');
  auto line = [&](const std::string& name, double amount) {
    out << Row(indent + name, Money(amount), width) << "\n";
  };
  if (o.taxDetail)
    for (const auto& [code, amount] : s.taxes) line("Tax " + code, amount);
  line("Tax", s.tax);
  line("TOTAL", s.total);
  for (const auto& [tender, amount] : s.tenders) line(tender, amount);
  if (s.change != 0) line("Change", s.change);
  if (o.farmTaxRemoved) out << Center("Farm sales tax removed", width) << "\n";
}

}  // namespace

std::string Money(double amount) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", amount);
  return buf;
}

std::string ReceiptText(const Address& store, const Sale& s, const DocumentOptions& o) {
  const int w = kReceiptWidth;
  std::ostringstream out;
  out << Center(store.name, w) << "\n";
  if (o.full) {
    if (!store.address1.empty()) out << Center(store.address1, w) << "\n";
    if (!store.address2.empty()) out << Center(store.address2, w) << "\n";
    if (!CityLine(store).empty()) out << Center(CityLine(store), w) << "\n";
    if (!store.phone.empty()) out << Center(store.phone, w) << "\n";
  }
  out << Rule(w) << "\n";
  out << Row("Sale " + s.number, s.date, w) << "\n";
  if (o.full) {
    out << Row("Till " + s.till + "  Shift " + s.shift, "Clerk " + s.clerk, w) << "\n";
    if (!s.customer.name.empty() || !s.customer.ref.empty())
      out << Row("Customer " + s.customer.ref, s.customer.name, w) << "\n";
  }
  if (*Kind(s)) out << Center(Kind(s), w) << "\n";
  if (!s.lines.empty()) out << Rule(w) << "\n";
  for (const SaleLine& l : s.lines) {
    out << Row(l.description.empty() ? l.ref : l.description, l.amount, w) << "\n";
    if (l.amount != "VOID" && !l.qty.empty() && std::atof(l.qty.c_str()) != 1)
      out << "  " << l.qty << " @ " << l.price << "\n";
  }
  if (s.transType != "N") {
    out << Rule(w) << "\n";
    Totals(out, s, o, w);
  }
  out << Rule(w) << "\n" << Center("Thank you!", w) << "\n";
  return out.str();
}

std::string InvoiceText(const Address& store, const Sale& s, const DocumentOptions& o) {
  const int w = kInvoiceWidth;
  std::ostringstream out;
  out << Row(store.name, "INVOICE", w) << "\n";
  out << Row(store.address1, "No. " + s.number, w) << "\n";
  if (!store.address2.empty()) out << store.address2 << "\n";
  out << Row(CityLine(store), "Date " + s.date, w) << "\n";
  if (!store.phone.empty()) out << store.phone << "\n";
  out << "\n";
  out << "Sold to: " << s.customer.name;
  if (!s.customer.ref.empty()) out << " (" << s.customer.ref << ")";
  out << "\n";
  for (const std::string* part : {&s.customer.address1, &s.customer.address2})
    if (!part->empty()) out << "         " << *part << "\n";
  if (!CityLine(s.customer).empty()) out << "         " << CityLine(s.customer) << "\n";
  out << "\n";
  out << "Till " << s.till << "  Shift " << s.shift << "  Clerk " << s.clerk;
  if (!s.po.empty()) out << "  P.O. " << s.po;
  if (*Kind(s)) out << "  " << Kind(s);
  out << "\n" << Rule(w) << "\n";
  char head[128];
  std::snprintf(head, sizeof head, "%-16s %-30s %8s %7s %7s", "Item", "Description", "Qty", "Price",
                "Amount");
  out << head << "\n" << Rule(w) << "\n";
  // Columns of characters: a description is cut between characters.
  auto left = [](const std::string& t, std::size_t w) {
    std::string c = KVTCut(t, SIZE_MAX, w);
    return c + std::string(w - KVTCharCount(c), ' ');
  };
  auto right = [](const std::string& t, std::size_t w) {
    std::string c = KVTCut(t, SIZE_MAX, w);
    return std::string(w - KVTCharCount(c), ' ') + c;
  };
  for (const SaleLine& l : s.lines)
    out << left(l.ref, 16) << ' ' << left(l.description, 30) << ' ' << right(l.qty, 8) << ' '
        << right(l.price, 7) << ' ' << right(l.amount, 7) << "\n";
  out << Rule(w) << "\n";
  Totals(out, s, o, w);
  return out.str();
}

std::string CheckValidationText(const Address& store, const Sale& s) {
  return "*** VALIDATED *** " + store.name + " " + s.date + " Sale " + s.number + " Check " +
         s.checkNum + " $" + Money(s.check) + "\n";
}

namespace {

void TotalsBlock(std::ostringstream& out, const ShiftTotals& t, bool money, bool blanks) {
  const int w = kReceiptWidth;
  for (const auto& [tender, tally] : t.tenders) {
    char count[16];
    std::snprintf(count, sizeof count, "%.0f", tally.count);
    if (money) out << Row(tender + " (" + count + ")", Money(tally.amount), w) << "\n";
    if (blanks) out << Row(tender + " counted", "__________", w) << "\n";
  }
  char n[64];
  std::snprintf(n, sizeof n, "%.0f", t.sales);
  out << Row("Sales", n, w) << "\n";
  std::snprintf(n, sizeof n, "%.0f", t.noSales);
  out << Row("No Sales", n, w) << "\n";
  std::snprintf(n, sizeof n, "%.0f", t.voids);
  out << Row("Voided Sales", n, w) << "\n";
  if (money) {
    out << Row("Tax", Money(t.tax), w) << "\n";
    out << Row("TOTAL", Money(t.total), w) << "\n";
  }
}

}  // namespace

std::string CloseOutText(const Address& store, const ShiftTotals& t, int layout,
                         bool tillTotalsOnly) {
  const int w = kReceiptWidth;
  std::ostringstream out;
  out << Center(store.name, w) << "\n"
      << Center(tillTotalsOnly ? "TILL TOTALS" : "TILL CLOSE-OUT", w) << "\n"
      << Row("Store " + t.store + "  Till " + t.till, "Shift " + t.shift, w) << "\n"
      << Row("Date", t.date, w) << "\n"
      << Rule(w) << "\n";
  TotalsBlock(out, t, layout != 3, layout == 2 || layout == 3);
  out << Rule(w) << "\n";
  return out.str();
}

std::string TillRefTotalsText(const Address& store, const std::vector<ShiftTotals>& tills) {
  const int w = kReceiptWidth;
  std::ostringstream out;
  out << Center(store.name, w) << "\n" << Center("TOTALS BY TILL", w) << "\n";
  for (const ShiftTotals& t : tills) {
    out << Rule(w) << "\n" << Row("Till " + t.till + "  Shift " + t.shift, t.date, w) << "\n";
    TotalsBlock(out, t, true, false);
  }
  out << Rule(w) << "\n";
  return out.str();
}

std::string ClosedTillText(const Address& store, const ShiftTotals& t, const std::string& time) {
  const int w = kReceiptWidth;
  std::ostringstream out;
  out << Center(store.name, w) << "\n"
      << Center("TILL CLOSED", w) << "\n"
      << Row("Store " + t.store + "  Till " + t.till, "Shift " + t.shift, w) << "\n"
      << Row("Date " + t.date, time, w) << "\n"
      << Rule(w) << "\n"
      << Row("TOTAL", Money(t.total), w) << "\n"
      << Rule(w) << "\n";
  return out.str();
}

std::string EscPosDocument(const std::string& text) {
  std::string out = "\x1B@";  // initialise
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  out +=
      "\x1B"
      "d\x04";         // feed four lines
  out += "\x1DV\x42";  // partial cut (GS V 66 n)
  out += '\0';
  return out;
}

std::string DrawerKickBytes(const std::string& codes, const std::string& printerType) {
  std::string out;
  std::istringstream in(codes);
  std::string code;
  while (in >> code) out += static_cast<char>(std::atoi(code.c_str()) & 0xFF);
  if (!out.empty()) return out;
  if (printerType == "STAR" || printerType == "STAR THERMAL") return "\x07";
  return std::string("\x1Bp\x00\x19\xFA", 5);
}

}  // namespace kvt::posr

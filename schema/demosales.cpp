// The demo store's saved sales, through the sale writer.
#include "schema/demosales.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "sale/writer.h"

namespace kvt::schema {

namespace {

using kvt::sale::Header;
using kvt::sale::Line;
using kvt::sale::SaleWriter;
using kvt::sale::TaxLine;

// A line of a till code (category `category`), taxed by the main store's
// three codes when taxable.
struct DemoLine {
  const char* tillCode;
  const char* category;
  const char* description;
  const char* quantity;
  const char* price;
  double amount;
  bool taxable;
};

struct DemoSale {
  const char* date;  // MMDDYYYY
  const char* shift;
  const char* employee;
  const char* time;
  const char* tender;  // "cash" or "card"
  std::vector<DemoLine> lines;
};

const char* const kTaxes[][2] = {{"KS", "6.500"}, {"RICE", "1.000"}, {"STER", "0.750"}};

std::string Money(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

double Cents(double v) {
  return static_cast<double>(static_cast<long long>(v * 100 + (v >= 0 ? 0.5 : -0.5))) / 100;
}

}  // namespace

bool SaveDemoSales(std::string* error, int* count) {
  const std::vector<DemoSale> sales = {
      {"12032025",
       "1",
       "100",
       "08:12:40",
       "cash",
       {{"71", "ICE", "Bag of Ice", "2", "2.49", 4.98, true},
        {"20", "HDWR", "Gate hinges", "2", "12.50", 25.00, true}}},
      {"12032025",
       "1",
       "100",
       "09:47:05",
       "card",
       {{"72", "CLR", "Clearance", "1", "20.00", 20.00, true}}},
      {"12042025",
       "2",
       "101",
       "14:03:22",
       "cash",
       {{"71", "ICE", "Bag of Ice", "4", "2.49", 9.96, true},
        {"98", "MISCNT", "Fence staples", "1", "6.00", 6.00, false}}},
      // The first sale of the demo day's shift 1, so every login to it is a
      // continuation of a shift already begun.
      {"12052025",
       "1",
       "100",
       "07:41:12",
       "cash",
       {{"71", "ICE", "Bag of Ice", "1", "2.49", 2.49, true}}},
  };
  SaleWriter writer(nullptr);
  int saved = 0;
  for (const DemoSale& s : sales) {
    Header h;
    h.transType = "S";
    h.status = "C";
    h.store = "MAIN";
    h.tillRef = "1";
    h.shift = s.shift;
    h.employee = s.employee;
    h.shiftDate = s.date;
    h.saleDate = s.date;
    h.saleTime = s.time;
    std::vector<Line> lines;
    std::vector<TaxLine> taxes;
    double net = 0, nonTax = 0, tax = 0;
    for (const DemoLine& d : s.lines) {
      Line l;
      l.reference = d.tillCode;
      l.tillCode = d.tillCode;
      l.category = d.category;
      l.description = d.description;
      l.quantity = d.quantity;
      l.price = d.price;
      l.amount = d.amount;
      l.taxable = d.taxable;
      l.numChange = "0";
      // A line's link is its own record number; its tax rows carry it.
      double recno = NextNum(1, "KVTPOS2", 1);
      if (recno <= 0) {
        *error = std::string("no record number for a demo sale's line: ") + KVTLastSqlError();
        return false;
      }
      char link[32];
      std::snprintf(link, sizeof link, "%.0f", recno);
      l.itemLink = link;
      lines.push_back(l);
      net += d.amount;
      if (!d.taxable) {
        nonTax += d.amount;
        continue;
      }
      for (const auto& t : kTaxes) {
        double amount = Cents(d.amount * std::atof(t[1]) / 100);
        tax += amount;
        taxes.push_back({t[0], t[1], Money(amount), l.itemLink});
      }
    }
    double total = Cents(net + tax);
    kvt::sale::SaleTexts& t = h.texts;
    t.netAmt = Money(net);
    t.nonTaxAmt = Money(nonTax);
    t.taxAmt = Money(tax);
    t.total = Money(total);
    t.totalPaid = Money(total);
    t.change = "0.00";
    if (std::string(s.tender) == "card") {
      t.creditAmt = Money(total);
      t.ccType = "VISA";
      t.ccNumber = "4111111111111111";
      t.ccAuthNum = "052731";
      t.pymtMethod = "R";
    } else {
      t.cashAmt = Money(total);
      t.pymtMethod = "C";
    }
    if (!writer.Save(h, lines, taxes, "DEMO")) {
      *error = "a demo sale was not saved";
      for (const auto& n : writer.TakeNotices()) *error += ": " + n.text;
      return false;
    }
    ++saved;
  }
  // The first day's shift went to accounting long ago: its sales carry a
  // transfer number (from the transfer module's counter, as a transfer takes
  // it), so the office can show a re-transfer on every run of the demo.
  double number = NextNum(1, "KVTCTMST", 1);
  char transnum[32];
  std::snprintf(transnum, sizeof transnum, "T%07.0f", number);
  kvt::sql::Result marked = number > 0
                                ? kvt::sql::Run(
                                      "UPDATE KVTPOS1 SET TRANSNUM = ? WHERE STORE = 'MAIN' AND "
                                      "INVDATE = ?",
                                      {kvt::sql::Text(transnum), kvt::sql::Date("12032025")})
                                : kvt::sql::Result::Failure(KVTLastSqlError());
  if (!marked.ok()) {
    *error = "the first demo shift was not marked transferred: " + marked.error();
    return false;
  }
  if (count) *count = saved;
  return true;
}

}  // namespace kvt::schema

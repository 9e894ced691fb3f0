// The report module stand-in: documents from the database to a printer or
// the preview window.
#include "suite/kvtposr/kvtposr.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "platform/forms/msgbox.h"
#include "platform/forms/preview.h"
#include "platform/sql/query.h"
#include "platform/win/profile.h"
#include "suite/kvtposr/documents.h"
#include "suite/kvtposr/pdf/pdf.h"

namespace {

namespace sql = kvt::sql;
using kvt::posr::Address;
using kvt::posr::Sale;
using kvt::posr::ShiftTotals;

const char* const kCaption = "Kovatel Software";

std::string Text(const char* s) {
  return s ? s : "";
}

// What the Set...Vars entry points handed over.
struct DocumentVars {
  std::string link, format, taxDetail, farmTaxRemoved;
};
DocumentVars g_receipt, g_invoice;
struct PrintVars {
  std::string till, store, shift, date, format;
} g_print;

int Fail(HWND owner, const std::string& text) {
  MessageBox(owner, text.c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
  return 0;
}

bool Read(HWND owner, const sql::Result& r, const char* what) {
  if (r.ok()) return true;
  Fail(owner, std::string(what) + " could not be read:\n" + r.error());
  return false;
}

double Num(const sql::Row& row, const char* column) {
  return std::atof(row[column].c_str());
}

// The tenders a sale or a shift shows, by column.
const std::pair<const char*, const char*> kTenders[] = {
    {"Cash", "CASHAMT"},
    {"Check", "CHECKAMT"},
    {"Credit Card", "CREDITAMT"},
    {"Charge", "CHARGEAMT"},
    {"Food Stamps", "FDSTMPAMT"},
    {"Gift Card", "GFTCRDAMT"},
    {"Farm Plan", "FPAMT"},
    {"Cash on Account", "CASHPAY"},
    {"Check on Account", "CHECKPAY"},
    {"Card on Account", "CREDITPAY"},
};
const char* const kTenderColumns =
    "CASHAMT, CHECKAMT, CREDITAMT, CHARGEAMT, FDSTMPAMT, GFTCRDAMT, FPAMT, CASHPAY, CHECKPAY, "
    "CREDITPAY";

const char kStoreColumns[] =
    "SELECT NAME, ADDRESS1, ADDRESS2, CITY, STATE, ZIPCODE, PHONE FROM KVTCOM13";

void FillStore(const std::string& ref, const sql::Result& r, Address* store) {
  store->ref = ref;
  store->name = ref;
  if (r.found() == sql::Found::Yes) {
    const sql::Row& s = r.first();
    *store = {ref,       s["NAME"],  s["ADDRESS1"], s["ADDRESS2"],
              s["CITY"], s["STATE"], s["ZIPCODE"],  s["PHONE"]};
    if (store->name.empty()) store->name = ref;
  }
}

bool ReadStore(HWND owner, const std::string& ref, Address* store) {
  sql::Result r = sql::Run(std::string(kStoreColumns) + " WHERE REFERENCE = ?", {sql::Text(ref)});
  if (!Read(owner, r, "The store (KVTCOM13)")) return false;
  FillStore(ref, r, store);
  return true;
}

// The sale of `link` with its lines, taxes and customer, and its store: all
// five read in one round trip, the store and the customer by the header's
// references.
bool ReadSale(HWND owner, const std::string& link, Sale* sale, Address* store) {
  auto byLink = [](const char* column) {
    return "(SELECT " + std::string(column) + " FROM KVTPOS1 WHERE INVOICELNK = ?)";
  };
  sql::Query header(std::string("SELECT INVOICENUM, INVDATE, SALETIME, TILLREF, SHIFT, SLSMAN, "
                                "STORE, TRANSTYPE, STATUS, CUSTREF, CUSTNAME, PO, NONTAXAMT, "
                                "TAXAMT, INVCTOTAL, AMTPAID, CHANGE, CHECKNUM, ") +
                    kTenderColumns + " FROM KVTPOS1 WHERE INVOICELNK = ?");
  sql::Query storeQuery(std::string(kStoreColumns) + " WHERE REFERENCE = " + byLink("STORE"));
  sql::Query customerQuery(
      "SELECT NAME, ADDRESS1, ADDRESS2, CITY, STATE, ZIPCODE FROM KVTAR50 WHERE REFERENCE = " +
      byLink("CUSTREF"));
  sql::Query linesQuery(
      "SELECT INVREF, DESCR, QTYORDERED, PRICE, ENTRYTOTAL FROM KVTPOS2 WHERE INVOICELNK = ? "
      "ORDER BY RECNO");
  sql::Query taxesQuery(
      "SELECT TAXCODE, TAXAMT FROM KVTPOS3 WHERE INVOICELNK = ? ORDER BY TAXCODE, RECNO");
  sql::Pipeline pipe;
  const std::vector<sql::Value> byThis{sql::Text(link)};
  const std::size_t at[] = {pipe.Add(header, byThis), pipe.Add(storeQuery, byThis),
                            pipe.Add(customerQuery, byThis), pipe.Add(linesQuery, byThis),
                            pipe.Add(taxesQuery, byThis)};
  pipe.Send();
  sql::Result r = pipe.Answer(at[0]);
  if (!Read(owner, r, "The sale (KVTPOS1)")) return false;
  if (r.found() == sql::Found::No) return Fail(owner, "Sale " + link + " was not found."), false;
  const sql::Row& h = r.first();
  Sale& s = *sale;
  s.link = link;
  s.number = h["INVOICENUM"];
  s.date = h["INVDATE"];
  s.time = h["SALETIME"];
  s.till = h["TILLREF"];
  s.shift = h["SHIFT"];
  s.clerk = h["SLSMAN"];
  s.transType = h["TRANSTYPE"].substr(0, 1);
  s.status = h["STATUS"];
  s.customer.ref = h["CUSTREF"];
  s.customer.name = h["CUSTNAME"];
  s.po = h["PO"];
  s.nonTaxable = Num(h, "NONTAXAMT");
  s.tax = Num(h, "TAXAMT");
  s.total = Num(h, "INVCTOTAL");
  s.paid = Num(h, "AMTPAID");
  s.change = Num(h, "CHANGE");
  s.check = Num(h, "CHECKAMT");
  s.checkNum = h["CHECKNUM"];
  for (const auto& [name, column] : kTenders)
    if (Num(h, column) != 0) s.tenders.push_back({name, Num(h, column)});
  const sql::Result storeRow = pipe.Answer(at[1]);
  if (!Read(owner, storeRow, "The store (KVTCOM13)")) return false;
  FillStore(h["STORE"], storeRow, store);

  const sql::Result c = pipe.Answer(at[2]);
  if (!s.customer.ref.empty()) {
    if (!Read(owner, c, "The customer (KVTAR50)")) return false;
    if (c.found() == sql::Found::Yes) {
      const sql::Row& a = c.first();
      if (s.customer.name.empty()) s.customer.name = a["NAME"];
      s.customer.address1 = a["ADDRESS1"];
      s.customer.address2 = a["ADDRESS2"];
      s.customer.city = a["CITY"];
      s.customer.state = a["STATE"];
      s.customer.zip = a["ZIPCODE"];
    }
  }
  const sql::Result lines = pipe.Answer(at[3]);
  if (!Read(owner, lines, "The sale's lines (KVTPOS2)")) return false;
  for (const sql::Row& l : lines.rows())
    s.lines.push_back({l["INVREF"], l["DESCR"], l["QTYORDERED"], l["PRICE"], l["ENTRYTOTAL"]});
  const sql::Result taxes = pipe.Answer(at[4]);
  if (!Read(owner, taxes, "The sale's taxes (KVTPOS3)")) return false;
  for (const sql::Row& t : taxes.rows()) {
    if (s.taxes.empty() || s.taxes.back().first != t["TAXCODE"])
      s.taxes.push_back({t["TAXCODE"], 0});
    s.taxes.back().second += Num(t, "TAXAMT");
  }
  return true;
}

// The sales of the store and date, per till and shift (only `till` and
// `shift` when given).
bool ReadShiftTotals(HWND owner, const PrintVars& v, bool oneTill, std::vector<ShiftTotals>* out) {
  std::string stmt = std::string("SELECT TILLREF, SHIFT, TRANSTYPE, STATUS, TAXAMT, INVCTOTAL, ") +
                     kTenderColumns + " FROM KVTPOS1 WHERE STORE = ? AND INVDATE = ?";
  std::vector<sql::Value> values{sql::Text(v.store), sql::Date(v.date)};
  if (oneTill) {
    stmt += " AND TILLREF = ? AND SHIFT = ?";
    values.push_back(sql::Text(v.till));
    values.push_back(sql::Text(v.shift));
  }
  sql::Result r = sql::Query(stmt + " ORDER BY TILLREF, SHIFT").Run(values);
  if (!Read(owner, r, "The till's sales (KVTPOS1)")) return false;
  std::map<std::pair<std::string, std::string>, ShiftTotals> byTill;
  if (oneTill) byTill[{v.till, v.shift}];
  for (const sql::Row& row : r.rows()) {
    ShiftTotals& t = byTill[{row["TILLREF"], row["SHIFT"]}];
    if (row["STATUS"] == "V") {
      ++t.voids;
      continue;
    }
    if (row["STATUS"] == "S") continue;  // suspended: not taken yet
    if (row["TRANSTYPE"].substr(0, 1) == "N") {
      ++t.noSales;
      continue;
    }
    ++t.sales;
    t.tax += Num(row, "TAXAMT");
    t.total += Num(row, "INVCTOTAL");
    if (t.tenders.empty())
      for (const auto& [name, column] : kTenders) t.tenders.push_back({name, {}});
    for (std::size_t i = 0; i < std::size(kTenders); ++i) {
      double amount = Num(row, kTenders[i].second);
      if (amount == 0) continue;
      t.tenders[i].second.count += 1;
      t.tenders[i].second.amount += amount;
    }
  }
  for (auto& [key, t] : byTill) {
    t.store = v.store;
    t.date = v.date;
    t.till = key.first;
    t.shift = key.second;
    if (t.tenders.empty())
      for (const auto& [name, column] : kTenders) t.tenders.push_back({name, {}});
    out->push_back(t);
  }
  return true;
}

bool IsPreview(const char* printerText, const KVT_PRINTER_SELECT* p) {
  return Text(printerText) == KVT_VIEW_WINDOW || !p || !*p->destination ||
         std::strncmp(p->destination, KVT_VIEW_WINDOW, sizeof p->destination) == 0;
}

std::string Local(const char* key) {
  return kvt::ProfileString("kvtlocal.ini", "Point of Sale", key, "");
}

// What a document is made for: a slip of the receipt printer, or a page
// (the invoice), which the preview carries as PDF too.
enum class Paper { Slip, Page };

// The document to the preview window or to its printer: a slip as control
// codes to a receipt printer that takes them (text mode, or a receipt printer
// type set), anything else as PDF pages.
int Deliver(HWND owner, const char* printerText, const KVT_PRINTER_SELECT* p,
            const std::string& title, const std::string& text, Paper paper) {
  std::string error;
  if (IsPreview(printerText, p)) {
    KVTPreviewDocument shown{title, text};
    // The preview shows the text; the PDF is kept for those who save it, and
    // a page that cannot be laid out is still shown.
    if (paper == Paper::Page) kvt::posr::PdfDocument(title, text, &shown.pdf, &error);
    KVTShowPreview(owner, shown);
    return 1;
  }
  KVTPrintJob job;
  job.printer.assign(p->destination, strnlen(p->destination, sizeof p->destination));
  job.title = title;
  std::string type = Local("ReceiptPrinterType");
  if (paper == Paper::Slip && (p->text_mode == 1 || (!type.empty() && type != "None"))) {
    job.format = "application/vnd.cups-raw";
    job.data = kvt::posr::EscPosDocument(text);
  } else {
    job.format = "application/pdf";
    if (!kvt::posr::PdfDocument(title, text, &job.data, &error))
      return Fail(owner, "Unable to print to " + job.printer + ":\n" + error);
  }
  if (!KVTPrint(job, &error))
    return Fail(owner, "Unable to print to " + job.printer + ":\n" + error);
  return 1;
}

kvt::posr::DocumentOptions Options(const DocumentVars& v, bool receipt) {
  kvt::posr::DocumentOptions o;
  o.full = !receipt || v.format != "2";
  o.taxDetail = v.taxDetail == "T";
  o.farmTaxRemoved = !v.farmTaxRemoved.empty() && v.farmTaxRemoved != "0";
  return o;
}

void Keep(DocumentVars& v, const char* link, const char* format, const char* taxDetail,
          const char* farm) {
  v = {Text(link), Text(format), Text(taxDetail), Text(farm)};
}

std::string Now() {
  std::time_t t = std::time(nullptr);
  char buf[16];
  std::strftime(buf, sizeof buf, "%H:%M", std::localtime(&t));
  return buf;
}

}  // namespace

void SetReceiptVars(HWND, const char* invoiceLnk, const char* format, const char* taxDetail,
                    const char* farmTaxRemoved) {
  Keep(g_receipt, invoiceLnk, format, taxDetail, farmTaxRemoved);
}

void SetInvoiceVars(HWND, const char* invoiceLnk, const char* format, const char* taxDetail,
                    const char* farmTaxRemoved) {
  Keep(g_invoice, invoiceLnk, format, taxDetail, farmTaxRemoved);
}

void SetPrintVars(HWND, const char* tillRef, const char* store, const char* shift,
                  const char* shiftDate, const char* format) {
  g_print = {Text(tillRef), Text(store), Text(shift), Text(shiftDate), Text(format)};
}

int PrintReceipttoPrinter(HWND owner, const char* printerText, int, int,
                          KVT_PRINTER_SELECT* printer) {
  Sale sale;
  Address store;
  if (!ReadSale(owner, g_receipt.link, &sale, &store)) return 0;
  return Deliver(owner, printerText, printer, "Receipt",
                 kvt::posr::ReceiptText(store, sale, Options(g_receipt, true)), Paper::Slip);
}

int PrintInvoicetoPrinter(HWND owner, const char* printerText, int, int,
                          KVT_PRINTER_SELECT* printer) {
  Sale sale;
  Address store;
  if (!ReadSale(owner, g_invoice.link, &sale, &store)) return 0;
  return Deliver(owner, printerText, printer, "Invoice",
                 kvt::posr::InvoiceText(store, sale, Options(g_invoice, false)), Paper::Page);
}

int PrintCheckValtoPrinter(HWND owner, const char* printerText, int, int,
                           KVT_PRINTER_SELECT* printer) {
  Sale sale;
  Address store;
  if (!ReadSale(owner, g_receipt.link, &sale, &store)) return 0;
  return Deliver(owner, printerText, printer, "Check Validation",
                 kvt::posr::CheckValidationText(store, sale), Paper::Slip);
}

int PrintTillCloseouttoPrinter(HWND owner, const char* printerText, int, int,
                               KVT_PRINTER_SELECT* printer) {
  std::vector<ShiftTotals> totals;
  Address store;
  if (!ReadStore(owner, g_print.store, &store) || !ReadShiftTotals(owner, g_print, true, &totals))
    return 0;
  int layout = std::atoi(g_print.format.c_str());
  bool tillOnly = printer && printer->iuser1 != 0;
  return Deliver(owner, printerText, printer, "Till Close-Out",
                 kvt::posr::CloseOutText(store, totals.front(), layout, tillOnly), Paper::Slip);
}

int PrintTotalbyTillReftoPrinter(HWND owner, const char* printerText, int, int,
                                 KVT_PRINTER_SELECT* printer) {
  std::vector<ShiftTotals> totals;
  Address store;
  if (!ReadStore(owner, g_print.store, &store) || !ReadShiftTotals(owner, g_print, false, &totals))
    return 0;
  return Deliver(owner, printerText, printer, "Totals by Till",
                 kvt::posr::TillRefTotalsText(store, totals), Paper::Slip);
}

int PrintTillClosedtoPrinter(HWND owner, const char* printerText, int, int,
                             KVT_PRINTER_SELECT* printer) {
  std::vector<ShiftTotals> totals;
  Address store;
  if (!ReadStore(owner, g_print.store, &store) || !ReadShiftTotals(owner, g_print, true, &totals))
    return 0;
  return Deliver(owner, printerText, printer, "Till Closed",
                 kvt::posr::ClosedTillText(store, totals.front(), Now()), Paper::Slip);
}

int OpenTillDrawer(HWND owner, const char*, int, int, KVT_PRINTER_SELECT* printer) {
  if (!printer || IsPreview("", printer)) return 0;
  KVTPrintJob job;
  job.printer.assign(printer->destination,
                     strnlen(printer->destination, sizeof printer->destination));
  job.title = "Cash Drawer";
  job.format = "application/vnd.cups-raw";
  job.data =
      kvt::posr::DrawerKickBytes(Local("CodesToOpenTillDrawer"), Local("ReceiptPrinterType"));
  std::string error;
  if (!KVTPrint(job, &error))
    return Fail(owner, "Unable to open the cash drawer on " + job.printer + ":\n" + error);
  return 1;
}

int DoBadChksReport(HWND owner) {
  sql::Result r = sql::Run("SELECT CKACCTNUM, ACCTNAME, DATEENT FROM KVTPOS11 ORDER BY CKACCTNUM");
  if (!Read(owner, r, "The bad check list (KVTPOS11)")) return 0;
  std::string text = "Bad Checks\n";
  for (const sql::Row& row : r.rows())
    text += row["CKACCTNUM"] + "  " + row["ACCTNAME"] + "  " + row["DATEENT"] + "\n";
  KVTShowPreview(owner, {"Bad Checks", text});
  return 1;
}

// The daily sales review's reads, rules and the card correction.
#include "backoffice/dailysales.h"

#include <cstdio>
#include <cstdlib>

namespace sql = kvt::sql;

const char* const KVTDailySales::kFetchScript = "SELECT %s FROM KVTPOS1 WHERE STATUS <> 'S'";
const char* const KVTDailySales::kFetchColumns =
    "STORE, INVDATE, SALETIME, TILLREF, SHIFT, SLSMAN, INVOICENUM, INVOICELNK, CUSTREF, CUSTNAME, "
    "TRANSTYPE, STATUS, PYMTMETHOD, NETAMT, NONTAXAMT, DISCOUNT, INVCTOTAL, AMTPAID, CHANGE, "
    "CASHAMT, CHECKAMT, CREDITAMT, CHARGEAMT, FDSTMPAMT, CASHRET, CHARGERET, CASHPAY, CHECKPAY, "
    "CHECKNUM, CHECKACCT, CCNUMBER, CCEXPDATE, CCTYPE, CCAUTHNUM, PO, TRANSNUM, NUMCHANGE, RECNO";
const char* const KVTDailySales::kFetchOrder = "INVOICENUM";

std::string KVTDailySales::TypeText(const std::string& transType, const std::string& status) {
  if (!status.empty() && status[0] == 'V') return "VOID";
  switch (transType.empty() ? ' ' : transType[0]) {
    case 'A':
      return "Cash Return";
    case 'H':
      return "Charge Return";
    case 'S':
      return "Sale";
    case 'N':
      return "No Sale";
    case 'P':
      return "Paid On Account";
    case 'C':
      return "Cashed Check";
    default:
      return "";
  }
}

std::string KVTDailySales::Money(const std::string& amount, const char* format) {
  char buf[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(buf, sizeof buf, format, std::atof(amount.c_str()));
#pragma GCC diagnostic pop
  return buf;
}

KVTCardPrompts KVTDailySales::PromptsFor(const std::string& typeText, const std::string& creditAmt,
                                         const std::string& creditPay, const KVTCardPrompts& sale,
                                         const KVTCardPrompts& payment) {
  KVTCardPrompts none{false, false, false, false};
  if (creditAmt == "$0.00" && creditPay == "$0.00") return none;
  if (typeText == "Sale") return sale;
  if (typeText == "Paid On Account") return payment;
  return none;
}

KVTSaleEnable KVTDailySales::Enablement(const std::string& typeText, const std::string& creditAmt,
                                        const std::string& creditPay, const std::string& canExchg,
                                        const std::string& canAmt, bool runningPOS,
                                        const KVTCardPrompts& sale, const KVTCardPrompts& payment) {
  KVTSaleEnable e;
  if (!runningPOS) e.cardGroup = PromptsFor(typeText, creditAmt, creditPay, sale, payment).Any();
  e.canadian = canExchg != "$0.0000" && canAmt != "$0.00";
  e.taxDetail = typeText != "No Sale" && typeText != "Paid On Account" && typeText != "VOID";
  return e;
}

sql::Result KVTDailySales::Header(double recno) {
  return sql::Run(
      "SELECT CUSTREF,INVOICENUM,INVDATE,CCTYPE,CCNUMBER,CCEXPDATE,CCAUTHNUM,STORE,TILLREF,SHIFT,"
      "SLSMAN,TRANSTYPE,SALETIME,CUSTNAME,NETAMT,NONTAXAMT,DISCOUNT,INVCTOTAL,AMTPAID,CHANGE,"
      "CASHAMT,CHECKAMT,CREDITAMT,CHARGEAMT,FDSTMPAMT,CASHRET,CHARGERET,CASHPAY,CHECKPAY,"
      "CREDITPAY,CHECKNUM,CHECKACCT,PO,INVOICELNK,TRANSNUM,FSCHANGE,STATUS,SALEDATE,TAXAMT,"
      "FPACCNUM,FPAUTHNUM,FPAMT,FPRET,FPCASHPAY,FPCHECKPAY,CREDITRET,GFTCRDAMT,GFTCRDPAY, "
      "CANEXCHG, CANAMT FROM KVTPOS1 WHERE RECNO = ?",
      {sql::Number(recno)});
}

sql::Result KVTDailySales::Lines(const std::string& link) {
  return sql::Run(
      "SELECT INVREF,TILLCODE,CATEGORY,INVLOC,DESCR,SERIALNUM,QTYORDERED,COST,PRICE,DISCOUNT,"
      "ENTRYTOTAL,FOODSTAMPS,TAXABLE,NUMCHANGE,RECNO,INVOICENUM,INVOICELNK FROM KVTPOS2 WHERE "
      "INVOICELNK = ?",
      {sql::Text(link)});
}

sql::Result KVTDailySales::Taxes(const std::string& link) {
  return sql::Run("SELECT TAXCODE,TAXRATE,TAXAMT FROM KVTPOS3 WHERE INVOICELNK = ?",
                  {sql::Text(link)});
}

sql::Result KVTDailySales::TaxDetail(const std::string& link) {
  return sql::Run(
      "SELECT KVTPOS2.INVREF, KVTPOS2.TILLCODE, KVTPOS2.DESCR, KVTPOS3.TAXCODE, KVTPOS3.TAXRATE, "
      "KVTPOS3.TAXAMT,KVTPOS3.ITEMLNK FROM KVTPOS2, KVTPOS3 WHERE KVTPOS2.INVOICELNK = "
      "KVTPOS3.INVOICELNK AND KVTPOS2.ITEMLNK = KVTPOS3.ITEMLNK AND KVTPOS3.INVOICELNK=? ORDER BY "
      "KVTPOS3.RECNO",
      {sql::Text(link)});
}

sql::Result KVTDailySales::FindByNumber(const std::string& invoiceNum) {
  return sql::Run("SELECT RECNO FROM KVTPOS1 WHERE INVOICENUM = ? AND STATUS <> 'S'",
                  {sql::Text(invoiceNum)});
}

sql::Result KVTDailySales::StoreLocation(const std::string& store) {
  return sql::Run("SELECT LOCATION FROM KVTCOM13 WHERE REFERENCE = ?", {sql::Text(store)});
}

sql::Result KVTDailySales::CardType(const std::string& type, const std::string& location) {
  return sql::Run(
      "SELECT RECNO FROM KVTFL25 WHERE CODE = ? AND (LOCATION = ? OR LOCATION = '' OR LOCATION IS "
      "NULL)",
      {sql::Text(type), sql::Text(location)});
}

namespace {

bool Digits(const std::string& s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int LastDay(int month, int year) {
  if (month == 2) return year % 4 == 0 ? 29 : 28;
  if (month == 4 || month == 6 || month == 9 || month == 11) return 30;
  return 31;
}

}  // namespace

KVTCardExpiry KVTDailySales::CheckExpiry(const std::string& mmyy, const std::string& today) {
  KVTCardExpiry r;
  if (mmyy.size() != 4) {
    r.formatRule = true;
    r.message = "Invalid date.\n\nEnter in the format MMYY.";
    return r;
  }
  const char* invalid = "Invalid date.\n\nChoose a different form of payment.";
  const char* expired = "Card is expired.\n\nChoose a different form of payment.";
  int month = Digits(mmyy.substr(0, 2)) ? std::atoi(mmyy.substr(0, 2).c_str()) : 0;
  int thisMonth = std::atoi(today.substr(0, 2).c_str());
  int thisYear = std::atoi(today.substr(4, 4).c_str());
  int year = std::atoi((today.substr(4, 2) + mmyy.substr(2, 2)).c_str());
  if (month < 1 || month > 12 || !Digits(mmyy.substr(2, 2)) || year > thisYear + 10) {
    r.message = invalid;
  } else if (year < thisYear || (year == thisYear && month < thisMonth)) {
    r.message = expired;
  } else {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%04d", month, LastDay(month, year), year);
    r.ok = true;
    r.date = buf;
  }
  return r;
}

bool KVTDailySales::SaveCard(double recno, const std::string& type, const std::string& number,
                             const std::string& expiryDate, const std::string& auth,
                             std::string* error) {
  sql::Transaction unit;
  if (!unit.ok()) {
    *error = unit.error();
    return false;
  }
  sql::Result r = sql::Run(
      "UPDATE KVTPOS1 SET CCTYPE = ?, CCNUMBER = ?, CCEXPDATE = ?, CCAUTHNUM = ? WHERE RECNO = ?",
      {sql::Text(type), sql::Text(number), sql::Date(expiryDate), sql::Text(auth),
       sql::Number(recno)});
  if (!r.ok()) {
    *error = r.error();
    return false;
  }
  if (r.changed() != 1) {
    *error = "The sale is no longer there.";
    return false;
  }
  if (!unit.Commit()) {
    *error = unit.error();
    return false;
  }
  return true;
}

std::string KVTDailySales::FindFilter(bool runningPOS) {
  std::string filter = " WHERE STATUS <> 'S'";
  if (runningPOS) filter += " AND TRANSTYPE <> 'N' AND STATUS <> 'V'";
  return filter;
}

const char* KVTDailySales::FindOrder(bool fromShiftDate) {
  return fromShiftDate ? "INVDATE DESC, RECNO DESC" : "INVDATE DESC, INVOICENUM DESC";
}

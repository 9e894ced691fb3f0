// Saving a sale: its number and link, the header, lines and taxes in one transaction.
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <thread>

#include "platform/base/kvtbase.h"
#include "sale/pos1.h"
#include "shell/globals.h"

namespace {

// The last number and link handed out.
char szSaleNum[81];
char szSaleLnk[81];

// A counter row that is not there is read again this many times, a little
// apart, before the save gives up (another till may be setting the store up).
constexpr int kCounterReads = 3;
constexpr auto kCounterReadPause = std::chrono::milliseconds(20);
// Conditional updates that found the counter moved by another till, per
// number. Each one means another till got a number, so this is generous.
constexpr int kCounterConflicts = 1000;
// Numbers skipped because a saved sale already uses them, per number.
constexpr long kNumbersInUse = 1000000;

const char* Text(const char* s) {
  return s ? s : "";
}

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool Is(const std::string& cell, const char* value) {
  return Trimmed(cell) == value;
}

std::string Format(const char* format, const char* fallback, double value) {
  char buf[64];
  KVTsprintf(buf, (format && *format) ? format : fallback, value);
  return buf;
}

// A bound value: 0 text, 2 number, 3 date (the bind types of KVTConnection).
struct Param {
  const char* value;
  int type;
};
Param T(const std::string& v) {
  return {v.c_str(), 0};
}
Param T(const char* v) {
  return {Text(v), 0};
}
Param N(const std::string& v) {
  return {v.c_str(), 2};
}
Param N(const char* v) {
  return {Text(v), 2};
}
Param D(const std::string& v) {
  return {v.c_str(), 3};
}
Param D(const char* v) {
  return {Text(v), 3};
}

// Prepares (once per text), binds and runs a statement; true when it ran.
bool Run(KVTConnection& conn, const char* stmt, std::initializer_list<Param> params) {
  if (conn.PrepareSQL(stmt) <= 0) return false;
  for (const Param& p : params)
    if (conn.BindParam(stmt, p.value, p.type) <= 0) return false;
  return conn.ExecuteSQL(stmt) > 0;
}

// Every character but the last four becomes "*".
void MaskCardNumber(std::string& number) {
  if (number.size() > 4) number.replace(0, number.size() - 4, number.size() - 4, '*');
}

// A link is set by the first save and is never empty or zero afterwards.
bool NeverSaved(const char* link) {
  std::string l = Trimmed(Text(link));
  if (l.empty()) return true;
  for (char c : l)
    if (std::isalpha(static_cast<unsigned char>(c))) return false;
  return std::atof(l.c_str()) == 0;
}

// ---- Counters --------------------------------------------------------------

// How to read one counter and move it on only when it still holds what was
// read, so that of two tills reading the same value only one moves it.
struct Counter {
  std::string name;   // for messages: "sale number", "sale link"
  std::string where;  // for messages: "store MAIN", "the point of sale configuration"
  std::string read;   // SELECT: the counter in column 1
  // UPDATE to `next` where the counter still holds `read` (the raw text read).
  std::function<std::string(long next, const std::string& read)> advance;
  // UPDATE to "2" where the counter is still empty.
  std::string start;
};

enum class Take { Got, Lost, Failed };

Take TakeOnce(const Counter& c, std::string* number, std::string* error) {
  KVTSConnection conn(1, hApplication, 0);
  bool found = false;
  std::string raw;
  for (int i = 0; i < kCounterReads && !found; ++i) {
    if (i > 0) {
      conn.FreeStatement();
      std::this_thread::sleep_for(kCounterReadPause);
    }
    if (conn.ExecSQL(c.read.c_str()) <= 0) {
      *error = "Error occurred reading the " + c.name + " counter.";
      return Take::Failed;
    }
    if (conn.FetchNext()) {
      found = true;
      raw = conn.ColumnVar(1);
    }
  }
  conn.FreeStatement();
  if (!found) {
    *error = "No " + c.name + " counter was found for " + c.where + ".";
    return Take::Failed;
  }
  std::string value = Trimmed(raw).substr(0, 50);
  std::string sql;
  if (!value.empty()) {
    sql = c.advance(std::atol(value.c_str()) + 1, raw);
    *number = value;
  } else {
    sql = c.start;
    *number = "1";
  }
  long changed = conn.ExecSQLChange(sql.c_str());
  if (changed < 0) {
    *error = "Error occurred updating the " + c.name + " counter.";
    return Take::Failed;
  }
  return changed == 0 ? Take::Lost : Take::Got;
}

// 1 when a saved sale uses the value in the column of `sql`, 0 when none, -1
// when the look-up failed.
int InUse(const char* sql, const std::string& value) {
  KVTConnection conn(1);
  if (!Run(conn, sql, {T(value)})) return -1;
  int used = conn.FetchNext(sql) ? 1 : 0;
  conn.FreeStatement(sql);
  return used;
}

// The next value of the counter that no saved sale uses, as `compose` makes
// it from the number; false with *error when none could be had.
bool Allocate(const Counter& c, const char* inUseSql,
              const std::function<std::string(const std::string&)>& compose, std::string* out,
              std::string* error) {
  int lost = 0;
  for (long skipped = 0; skipped < kNumbersInUse;) {
    std::string number;
    Take t = TakeOnce(c, &number, error);
    if (t == Take::Failed) return false;
    if (t == Take::Lost) {
      if (++lost >= kCounterConflicts) break;
      continue;
    }
    std::string candidate = compose(number);
    int used = InUse(inUseSql, candidate);
    if (used < 0) {
      *error = "Error occurred checking the " + c.name + " against the saved sales.";
      return false;
    }
    if (used == 0) {
      *out = candidate;
      return true;
    }
    ++skipped;
  }
  *error = "No free " + c.name + " could be found.";
  return false;
}

// A counter of the point of sale configuration: its first record.
Counter ConfigCounter(const std::string& column, const std::string& name) {
  Counter c;
  c.name = name;
  c.where = "the point of sale configuration";
  // The configuration record comes first (RECNO 1); the order keeps the
  // first row the same after updates on every database.
  c.read = "SELECT " + column + " FROM KVTPOS10 ORDER BY RECNO";
  c.advance = [column](long next, const std::string& read) {
    return "UPDATE KVTPOS10 SET " + column + " ='" + std::to_string(next) + "' WHERE " + column +
           "='" + KVTSqlQuote(read.c_str()) + "'";
  };
  c.start =
      "UPDATE KVTPOS10 SET " + column + " ='2' WHERE (" + column + "='' OR " + column + " IS NULL)";
  return c;
}

void Keep(char (&buffer)[81], const std::string& value) {
  KVTsprintf(buffer, "%s", value.c_str());
}

}  // namespace

// ---- Numbering -------------------------------------------------------------

const char* PVpos1Dlg::GetNextSaleNum() {
  KVTSConnection conn(1, hApplication, 0);
  bool perStore = conn.ExecSQL("SELECT USESTNSNUM FROM KVTPOS10 WHERE RECNO = 1") > 0 &&
                  conn.FetchNext() && Trimmed(conn.ColumnVar(1)) == "T";
  conn.FreeStatement();
  return perStore ? StoreGetNextSaleNum() : POSConfigGetNextSaleNum();
}

const char* PVpos1Dlg::StoreGetNextSaleNum() {
  std::string store = KVTSqlQuote(Trimmed(Data.STORE).c_str());
  Counter c;
  c.name = "sale number";
  c.where = "store " + Trimmed(Data.STORE);
  c.read = "SELECT NEXTSLNUM FROM KVTCOM13 WHERE REFERENCE='" + store + "'";
  c.advance = [store](long next, const std::string& read) {
    return "UPDATE KVTCOM13 SET NEXTSLNUM='" + std::to_string(next) + "' WHERE REFERENCE='" +
           store + "' AND NEXTSLNUM='" + KVTSqlQuote(read.c_str()) + "'";
  };
  c.start = "UPDATE KVTCOM13 SET NEXTSLNUM='2' WHERE REFERENCE='" + store +
            "' AND (NEXTSLNUM='' OR NEXTSLNUM IS NULL)";
  std::string number;
  sNumberingError.clear();
  if (!Allocate(
          c, "SELECT INVOICENUM FROM KVTPOS1 WHERE INVOICENUM = ?",
          [](const std::string& n) { return n; }, &number, &sNumberingError))
    number.clear();
  Keep(szSaleNum, number);
  return szSaleNum;
}

const char* PVpos1Dlg::POSConfigGetNextSaleNum() {
  std::string number;
  sNumberingError.clear();
  if (!Allocate(
          ConfigCounter("NEXTSLNUM", "sale number"),
          "SELECT INVOICENUM FROM KVTPOS1 WHERE INVOICENUM = ?",
          [](const std::string& n) { return n; }, &number, &sNumberingError))
    number.clear();
  Keep(szSaleNum, number);
  return szSaleNum;
}

const char* PVpos1Dlg::GetNextSaleLink() {
  std::string id = sInstanceID;
  auto compose = [id](const std::string& number) {
    std::string link = number + id;
    if (link.size() > 10) {
      std::size_t keep = id.size() < 10 ? 10 - id.size() : 0;
      link =
          id.substr(0, 10) + (number.size() > keep ? number.substr(number.size() - keep) : number);
    }
    return link;
  };
  std::string link;
  sNumberingError.clear();
  if (!Allocate(ConfigCounter("NEXTSLLNK", "sale link"),
                "SELECT INVOICELNK FROM KVTPOS1 WHERE INVOICELNK = ?", compose, &link,
                &sNumberingError))
    link.clear();
  Keep(szSaleLnk, link);
  return szSaleLnk;
}

// ---- Messages ----------------------------------------------------------------

void PVpos1Dlg::SaveMessage(const std::string& text, const char* caption, UINT flags) {
  if (iSaveDepth > 0) {
    heldSaveMessages.push_back({text, Text(caption), flags});
    return;
  }
  MessageBox(text.c_str(), caption, flags);
}

void PVpos1Dlg::ShowHeldSaveMessages() {
  std::vector<HeldMessage> held;
  held.swap(heldSaveMessages);
  for (const HeldMessage& m : held) MessageBox(m.text.c_str(), m.caption.c_str(), m.flags);
}

// ---- The sale ----------------------------------------------------------------

bool PVpos1Dlg::SaveOrder(
    const char* TransType, const char* Status, const char* CustRef, const char* CustName,
    const char* CashAmt, const char* CheckAmt, const char* CreditAmt, const char* CashRet,
    const char* ChargeAmt, const char* ChargeRet, const char* FSAmt, const char* CashPay,
    const char* CheckPay, const char* Total, const char* TotalPaid, const char* PymtMethod,
    const char* NetAmt, const char* NonTaxAmt, const char* Discount, const char* Change,
    const char* CheckNum, const char* CheckAcct, char* CCNumber, char* CCExpDate,
    const char* CCType, const char* CCAuthNum, const char* PO, const char* CreditPay,
    const char* FSChange, const char* TaxAmt, const char* DOB, const char* FPAmt, const char* FPRet,
    const char* FPCashPay, const char* FPCheckPay, const char* FPDBC, const char* FPDBCDesc,
    const char* FPCPN, const char* FPCPNDesc, const char* FPAuthNum, const char* FPC2Ref,
    const char* FPRepayTrm, const char* FPTandC, const char* FPAccNum, const char* CreditRet,
    const char* GCAmt, const char* GCPay, const char* GCType, const char* GCNumber,
    const char* GCExpDate, const char* GCAuthNum, const char* CanExchg, const char* CanAmt) {
  SaleTexts t;
  t.custRef = Text(CustRef);
  t.custName = Text(CustName);
  t.cashAmt = Text(CashAmt);
  t.checkAmt = Text(CheckAmt);
  t.creditAmt = Text(CreditAmt);
  t.cashRet = Text(CashRet);
  t.chargeAmt = Text(ChargeAmt);
  t.chargeRet = Text(ChargeRet);
  t.fsAmt = Text(FSAmt);
  t.cashPay = Text(CashPay);
  t.checkPay = Text(CheckPay);
  t.total = Text(Total);
  t.totalPaid = Text(TotalPaid);
  t.pymtMethod = Text(PymtMethod);
  t.netAmt = Text(NetAmt);
  t.nonTaxAmt = Text(NonTaxAmt);
  t.discount = Text(Discount);
  t.change = Text(Change);
  t.checkNum = Text(CheckNum);
  t.checkAcct = Text(CheckAcct);
  t.ccNumber = Text(CCNumber);
  t.ccExpDate = Text(CCExpDate);
  t.ccType = Text(CCType);
  t.ccAuthNum = Text(CCAuthNum);
  t.po = Text(PO);
  t.creditPay = Text(CreditPay);
  t.fsChange = Text(FSChange);
  t.taxAmt = Text(TaxAmt);
  t.dob = Text(DOB);
  t.fpAmt = Text(FPAmt);
  t.fpRet = Text(FPRet);
  t.fpCashPay = Text(FPCashPay);
  t.fpCheckPay = Text(FPCheckPay);
  t.fpDbc = Text(FPDBC);
  t.fpDbcDesc = Text(FPDBCDesc);
  t.fpCpn = Text(FPCPN);
  t.fpCpnDesc = Text(FPCPNDesc);
  t.fpAuthNum = Text(FPAuthNum);
  t.fpC2Ref = Text(FPC2Ref);
  t.fpRepayTrm = Text(FPRepayTrm);
  t.fpTandC = Text(FPTandC);
  t.fpAccNum = Text(FPAccNum);
  t.creditRet = Text(CreditRet);
  t.gcAmt = Text(GCAmt);
  t.gcPay = Text(GCPay);
  t.gcType = Text(GCType);
  t.gcNumber = Text(GCNumber);
  t.gcExpDate = Text(GCExpDate);
  t.gcAuthNum = Text(GCAuthNum);
  t.canExchg = Text(CanExchg);
  t.canAmt = Text(CanAmt);
  bool saved = SaveOrder(TransType, Status, t);
  // Masking never lengthens the number, so it fits the caller's buffer.
  if (CCNumber) std::memcpy(CCNumber, t.ccNumber.c_str(), t.ccNumber.size() + 1);
  if (CCExpDate && t.ccExpDate.empty()) CCExpDate[0] = '\0';
  return saved;
}

bool PVpos1Dlg::SaveOrder(const char* TransType, const char* Status, SaleTexts& texts) {
  DoScrToApp();
  KVTWaitCursor wait;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char saleTime[16];
  KVTsprintf(saleTime, "%2d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  char saleDate[16];
  CurrentDate(saleDate);

  ++iSaveDepth;
  bool saved = SaveOrderInTransaction(Text(TransType), Text(Status), saleTime, saleDate, texts);
  --iSaveDepth;
  if (iSaveDepth == 0) ShowHeldSaveMessages();
  return saved;
}

bool PVpos1Dlg::SaveOrderInTransaction(const char* TransType, const char* Status,
                                       const char* SaleTime, const char* SaleDate,
                                       SaleTexts& texts) {
  static char tran[] = "SELECT RECNO FROM KVTPOS1";
  const char* notSaved = "\nThis sale has not been saved!";
  if (FConn.PrepareSQL(tran) <= 0 || FConn.BeginTran(tran) <= 0) {
    SaveMessage(std::string("Error occurred starting the sale's transaction.") + notSaved, "Error",
                MB_OK | MB_ICONSTOP);
    return false;
  }
  auto cancel = [&](const std::string& message) {
    FConn.CancelTran(tran);
    if (!message.empty()) SaveMessage(message, "Error", MB_OK | MB_ICONSTOP);
    return false;
  };

  if (NeverSaved(Data.INVOICELNK)) {
    std::string number;
    if (!std::strcmp(TransType, "N") && std::strcmp(CFG_NOSALEADVSALENUMBER, "T") != 0) {
      number = "NS";
    } else if (!std::strcmp(TransType, "C") && std::strcmp(CFG_CASHCHKGADVSALENUMBER, "T") != 0) {
      number = "CASHCHK";
    } else {
      number = Trimmed(Data.INVOICENUM);
      if (number.empty()) number = GetNextSaleNum();
      if (number.empty()) return cancel(sNumberingError + notSaved);
    }
    SetFieldVar(IDC_INVOICENUM, number.c_str());

    std::string link = GetNextSaleLink();
    if (link.empty()) return cancel(sNumberingError + notSaved);
    SetFieldVar(IDC_INVOICELNK, link.c_str());

    double recno = NextNum(1, "KVTPOS1", 100, 0);
    if (recno <= 0)
      return cancel(std::string("Error occurred inserting KVTPOS1 record.") + notSaved);
    Data.RECNO = recno;
    DoAppToScr(IDC_RECNO);

    if (!InsertKVTPOS1(TransType, Status, SaleTime, SaleDate, texts)) return cancel("");
  } else if (!UpdateKVTPOS1(TransType, Status, SaleTime, SaleDate, texts)) {
    return cancel("");
  }

  if (SaleGrid().GetRowCount() > 0 &&
      !SaveTable(Data.INVOICENUM, Status, SaleDate, Data.INVOICELNK))
    return cancel("");
  if (std::strcmp(TransType, "P") != 0 &&
      !SaveTaxes(Data.INVOICENUM, texts.taxAmt.c_str(), Data.INVOICELNK))
    return cancel("");

  if (FConn.CommitTran(tran) <= 0) {
    SaveMessage(std::string("Error occurred saving this sale.") + notSaved, "Error",
                MB_OK | MB_ICONSTOP);
    return false;
  }
  return true;
}

// ---- The header ----------------------------------------------------------------

bool PVpos1Dlg::InsertKVTPOS1(const char* TransType, const char* Status, const char* SaleTime,
                              const char* SaleDate, SaleTexts& t) {
  static char sql[] =
      "INSERT INTO KVTPOS1 (INVOICENUM,RECNO,INVDATE,SALETIME,TILLREF,SLSMAN,STORE,SHIFT,"
      "TRANSTYPE,STATUS,CUSTREF,CUSTNAME,CASHAMT,CHECKAMT,CREDITAMT,CASHRET,CHARGEAMT,CHARGERET,"
      "FDSTMPAMT,CASHPAY,CHECKPAY,INVCTOTAL,AMTPAID,PYMTMETHOD,NETAMT,NONTAXAMT,DISCOUNT,CHANGE,"
      "CHECKNUM,CHECKACCT,CCNUMBER,CCEXPDATE,CCTYPE,CCAUTHNUM,PO,CREDITPAY,FSCHANGE,INVOICELNK,"
      "SALEDATE,TAXAMT,DOB,FPAMT,FPRET,FPCASHPAY,FPCHECKPAY,FPDBC,FPDBCDESC,FPCPN,FPCPNDESC,"
      "FPAUTHNUM,FPC2REF,FPREPAYTRM,FPTANDC,FPACCNUM,CREDITRET,GFTCRDAMT,GFTCRDPAY,GCTYPE,"
      "GCNUMBER,GCEXPDATE,GCAUTHNUM,CANEXCHG,CANAMT) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
      "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
  MaskCardNumber(t.ccNumber);
  t.ccExpDate.clear();
  char recno[32];
  KVTsprintf(recno, "%.0f", Data.RECNO);
  std::string method = t.pymtMethod == "C" ? "1" : t.pymtMethod;
  bool ok =
      Run(FConn, sql,
          {T(Data.INVOICENUM), N(recno),        D(Data.SHIFTDATE),  T(SaleTime),    T(Data.TILLREF),
           T(Data.EMPLOYEE),   T(Data.STORE),   T(Data.SHIFT),      T(TransType),   T(Status),
           T(t.custRef),       T(t.custName),   T(t.cashAmt),       T(t.checkAmt),  T(t.creditAmt),
           T(t.cashRet),       T(t.chargeAmt),  T(t.chargeRet),     T(t.fsAmt),     T(t.cashPay),
           T(t.checkPay),      T(t.total),      T(t.totalPaid),     T(method),      T(t.netAmt),
           T(t.nonTaxAmt),     T(t.discount),   T(t.change),        T(t.checkNum),  T(t.checkAcct),
           T(t.ccNumber),      D(t.ccExpDate),  T(t.ccType),        T(t.ccAuthNum), T(t.po),
           T(t.creditPay),     T(t.fsChange),   T(Data.INVOICELNK), D(SaleDate),    T(t.taxAmt),
           T(t.dob),           T(t.fpAmt),      T(t.fpRet),         T(t.fpCashPay), T(t.fpCheckPay),
           T(t.fpDbc),         T(t.fpDbcDesc),  T(t.fpCpn),         T(t.fpCpnDesc), T(t.fpAuthNum),
           T(t.fpC2Ref),       T(t.fpRepayTrm), T(t.fpTandC),       T(t.fpAccNum),  T(t.creditRet),
           T(t.gcAmt),         T(t.gcPay),      T(t.gcType),        T(t.gcNumber),  D(t.gcExpDate),
           T(t.gcAuthNum),     T(t.canExchg),   T(t.canAmt)});
  if (!ok)
    SaveMessage("Error occurred inserting KVTPOS1 record.\nThis sale has not been saved!", "Error",
                MB_OK | MB_ICONSTOP);
  return ok;
}

bool PVpos1Dlg::UpdateKVTPOS1(const char* TransType, const char* Status, const char* SaleTime,
                              const char* SaleDate, SaleTexts& t) {
  static char sql[] =
      "UPDATE KVTPOS1 SET SLSMAN=?,TRANSTYPE=?,STATUS=?,SALETIME=?,CUSTREF=?,CUSTNAME=?,"
      "CASHAMT=?,CHECKAMT=?,CREDITAMT=?,CASHRET=?,CHARGEAMT=?,CHARGERET=?,FDSTMPAMT=?,CASHPAY=?,"
      "CHECKPAY=?,INVCTOTAL=?,AMTPAID=?,PYMTMETHOD=?,NETAMT=?,NONTAXAMT=?,DISCOUNT=?,CHANGE=?,"
      "CHECKNUM=?,CHECKACCT=?,CCNUMBER=?,CCEXPDATE=?,CCTYPE=?,CCAUTHNUM=?,PO=?,SALEDATE=?,"
      "CREDITPAY=?,FSCHANGE=?,INVOICELNK=?,TAXAMT=?,DOB=?,CANEXCHG=?,CANAMT=? WHERE INVOICELNK=?";
  MaskCardNumber(t.ccNumber);
  t.ccExpDate.clear();
  bool ok =
      Run(FConn, sql,
          {T(Data.EMPLOYEE), T(TransType),   T(Status),          T(SaleTime),    T(t.custRef),
           T(t.custName),    T(t.cashAmt),   T(t.checkAmt),      T(t.creditAmt), T(t.cashRet),
           T(t.chargeAmt),   T(t.chargeRet), T(t.fsAmt),         T(t.cashPay),   T(t.checkPay),
           T(t.total),       T(t.totalPaid), T(t.pymtMethod),    T(t.netAmt),    T(t.nonTaxAmt),
           T(t.discount),    T(t.change),    T(t.checkNum),      T(t.checkAcct), T(t.ccNumber),
           D(t.ccExpDate),   T(t.ccType),    T(t.ccAuthNum),     T(t.po),        D(SaleDate),
           T(t.creditPay),   T(t.fsChange),  T(Data.INVOICELNK), T(t.taxAmt),    T(t.dob),
           T(t.canExchg),    T(t.canAmt),    T(Data.INVOICELNK)});
  if (!ok) {
    SaveMessage("Error occurred updating KVTPOS1 record.\nThis sale has not been updated!", "Error",
                MB_OK | MB_ICONSTOP);
    return false;
  }
  // An earlier save of this sale was cancelled after it had its link: the
  // header was never written, so write it now under the same number and link.
  if (FConn.RowsAffected(sql) == 0) {
    if (Data.RECNO <= 0) Data.RECNO = NextNum(1, "KVTPOS1", 100, 0);
    DoAppToScr(IDC_RECNO);
    return InsertKVTPOS1(TransType, Status, SaleTime, SaleDate, t);
  }
  return true;
}

// ---- The lines -------------------------------------------------------------------

bool PVpos1Dlg::SaveTable(const char* InvoiceNum, const char* Status, const char* SaleDate,
                          const char* InvoiceLnk) {
  static char del[] = "DELETE FROM KVTPOS2 WHERE INVOICELNK = ?";
  if (!Run(FConn, del, {T(InvoiceLnk)})) {
    SaveMessage("Error occurred deleting KVTPOS2 records.\nThis sale has not been saved!", "Error",
                MB_OK | MB_ICONSTOP);
    return false;
  }
  const bool suspended = !std::strcmp(Text(Status), "S");
  const bool moveStock = !std::strcmp(CFG_USEINVENTORY, "T") && !std::strcmp(CFG_UPDATEQOH, "T");
  const bool keepHistory = std::strcmp(CFG_USECSTORE, "T") != 0;
  TDataTbl& grid = SaleGrid();
  for (int r = 0; r < grid.GetRowCount(); ++r) {
    auto cell = [&](int col) { return grid.GetCell(col, r); };
    SaleLineRow line;
    line.invRef = cell(COL_REF);
    line.descr = cell(COL_DESCR);
    line.qtyOrdered = cell(COL_QTY);
    line.price = cell(COL_PRICE);
    line.entryTotal = cell(COL_AMOUNT);
    line.foodStamps = Is(cell(COL_FS), "Y") ? "1" : "0";
    line.taxable = Is(cell(COL_TAXABLE), "Y") ? "1" : "0";
    line.invoiceNum = Text(InvoiceNum);
    line.numChange = cell(COL_NUMCHANGE);
    line.tillCode = cell(COL_TILLCODE);
    line.category = cell(COL_CATEGORY);
    line.cost = cell(COL_COST);
    line.serialNum = cell(COL_SERIALNUM);
    line.invLoc = cell(COL_LOCATION);
    line.invoiceLnk = Text(InvoiceLnk);
    line.recno = cell(COL_RECNO);
    line.itemLnk = line.recno;
    line.prompt = cell(COL_PROMPT);
    if (!suspended) {
      // The sale is final: a non-taxable line counts under its non-tax
      // category, and a till code sells the inventory item behind it.
      std::string nonTaxCategory = cell(COL_NONTAXCAT);
      if (line.taxable == "0" && !Trimmed(nonTaxCategory).empty()) line.category = nonTaxCategory;
      if (!Trimmed(line.tillCode).empty()) line.invRef = cell(COL_INVREF);
    }
    std::string cost = Trimmed(line.cost);
    if (!cost.empty() && cost.back() == '%') {
      double percent = std::atof(cost.substr(0, cost.size() - 1).c_str());
      line.cost = Format(PRICE_FORMAT, "%.2f", std::atof(line.price.c_str()) * percent * 0.01);
    }
    if (!InsertKVTPOS2(line)) return false;

    if (suspended || Is(line.entryTotal, "VOID")) continue;
    std::string invRef = Trimmed(line.invRef);
    if (moveStock && !invRef.empty())
      ReduceInvQOH(invRef.c_str(), Trimmed(line.invLoc).c_str(), line.qtyOrdered.c_str(),
                   line.cost.c_str(), line.entryTotal.c_str(), InvoiceNum, InvoiceNum, SaleDate);
    std::string category = Trimmed(line.category);
    if (keepHistory && !category.empty() && category != POACATEGORY)
      UpdateCategoryHistory(category.c_str(), Data.STORE, line.qtyOrdered.c_str(),
                            line.entryTotal.c_str());
  }
  return true;
}

bool PVpos1Dlg::InsertKVTPOS2(const SaleLineRow& l) {
  static char sql[] =
      "INSERT INTO KVTPOS2 (INVREF,DESCR,QTYORDERED,PRICE,ENTRYTOTAL,FOODSTAMPS,TAXABLE,"
      "INVOICENUM,NUMCHANGE,TILLCODE,CATEGORY,DISCOUNT,COST,SERIALNUM,INVLOC,INVOICELNK,RECNO,"
      "ITEMLNK,PROMPT) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
  bool ok = Run(FConn, sql,
                {T(l.invRef), T(l.descr), T(l.qtyOrdered), T(l.price), T(l.entryTotal),
                 N(l.foodStamps), N(l.taxable), T(l.invoiceNum), T(l.numChange), T(l.tillCode),
                 T(l.category), T(l.discount), T(l.cost), T(l.serialNum), T(l.invLoc),
                 T(l.invoiceLnk), N(l.recno), T(l.itemLnk), T(l.prompt)});
  if (!ok)
    SaveMessage("Error occurred inserting KVTPOS2 record.\nThis sale has not been saved!", "Error",
                MB_OK | MB_ICONSTOP);
  return ok;
}

// ---- The taxes -------------------------------------------------------------------

bool PVpos1Dlg::SaveTaxes(const char* InvoiceNum, const char* TaxTotal, const char* InvoiceLnk) {
  static char del[] = "DELETE FROM KVTPOS3 WHERE INVOICELNK = ?";
  const char* failed = "Error occurred inserting KVTPOS3 record.\nThis sale has not been saved!";
  if (!Run(FConn, del, {T(InvoiceLnk)})) {
    SaveMessage(failed, "Error", MB_OK | MB_ICONSTOP);
    return false;
  }
  TDataTbl& grid = TaxGrid();
  // Rounded to cents row by row, the last row taking what the rounding lost,
  // so the rows add up to the sale's tax exactly.
  const std::vector<std::string> amounts = TaxRowSaveAmounts(Text(TaxTotal));
  for (int r = 0; r < grid.GetRowCount(); ++r) {
    double recno = NextNum(1, "KVTPOS3", 100, 0);
    if (recno <= 0) {
      SaveMessage(failed, "Error", MB_OK | MB_ICONSTOP);
      return false;
    }
    char recnoText[32];
    KVTsprintf(recnoText, "%.0f", recno);
    if (!InsertKVTPOS3(InvoiceNum, grid.GetCell(TAXCOL_CODE, r).c_str(),
                       grid.GetCell(TAXCOL_RATE, r).c_str(), amounts[r].c_str(), recnoText,
                       grid.GetCell(TAXCOL_ITEMLINK, r).c_str(), InvoiceLnk))
      return false;
  }
  return true;
}

bool PVpos1Dlg::InsertKVTPOS3(const char* InvoiceNum, const char* TaxCode, const char* TaxRate,
                              const char* TaxAmt, const char* Recno, const char* ItemLnk,
                              const char* InvoiceLnk) {
  static char sql[] =
      "INSERT INTO KVTPOS3 (INVOICENUM,TAXCODE,TAXRATE,TAXAMT,INVOICELNK,RECNO,ITEMLNK) VALUES "
      "(?,?,?,?,?,?,?)";
  bool ok =
      Run(FConn, sql,
          {T(InvoiceNum), T(TaxCode), T(TaxRate), T(TaxAmt), T(InvoiceLnk), N(Recno), T(ItemLnk)});
  if (!ok)
    SaveMessage("Error occurred inserting KVTPOS3 record.\nThis sale has not been saved!", "Error",
                MB_OK | MB_ICONSTOP);
  return ok;
}

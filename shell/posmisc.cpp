// Configuration loaders.
#include "shell/posmisc.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/base/textwidth.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "platform/win/profile.h"
#include "shell/dbutil.h"
#include "shell/globals.h"

namespace {

namespace sql = kvt::sql;
using sql::Found;

// The settings a load will change, changed only when every read of the load
// answered: a load that fails half way leaves the settings as they were.
class Changes {
 public:
  template <std::size_t N>
  void Set(char (&setting)[N], std::string value) {
    changes_.push_back({setting, N, std::move(value)});
  }
  // The text the setting will have once the load is done.
  std::string Get(const char* setting) const {
    for (auto c = changes_.rbegin(); c != changes_.rend(); ++c)
      if (c->setting == setting) return c->value;
    return setting;
  }
  // The result of one read: false, keeping why, when it failed.
  bool Answered(const sql::Result& r, const char* what) {
    if (r.found() != Found::Failed) return true;
    if (error_.empty()) {
      what_ = what;
      error_ = r.error();
    }
    return false;
  }
  // Makes the changes; or tells the user what could not be read and makes none.
  bool Commit() const {
    if (!error_.empty()) {
      KVTShowReadError(nullptr, what_, error_);
      return false;
    }
    for (const Change& c : changes_) {
      KVTCopyText(c.setting, c.size, c.value);
    }
    return true;
  }

 private:
  struct Change {
    char* setting;
    std::size_t size;
    std::string value;
  };
  std::vector<Change> changes_;
  std::string what_, error_;
};

const char* const kConfigRecord = "The point-of-sale configuration (KVTPOS10)";
const char* const kWhere = " FROM KVTPOS10 WHERE STORE = ? AND TILLREF = ? AND SLSMAN = ?";

// The configuration record of a store, till and employee (empty for all).
sql::Result Record(const std::string& columns, const char* Store, const char* TillRef,
                   const char* Employee) {
  auto text = [](const char* s) { return sql::Text(s ? s : ""); };
  return sql::Run("SELECT " + columns + kWhere, {text(Store), text(TillRef), text(Employee)});
}

std::string Local(const char* key, const char* def) {
  char buf[KVT_PRINTER_LEN];
  GetPrivateProfileString(PROGRAM_NAME, key, def, buf, sizeof buf, LOCAL_INI);
  return buf;
}

std::string Trimmed(std::string s) {
  std::vector<char> buf(s.begin(), s.end());
  buf.push_back('\0');
  return TRIM(buf.data());
}

bool ReadConfigRecord(Changes& c, const char* Store, const char* TillRef, const char* Employee) {
  static const std::string columns = [] {
    std::string list;
#define KVT_COLUMN(column, setting) list += (list.empty() ? "" : ", ") + std::string(#column);
    KVT_CONFIG_RECORD(KVT_COLUMN)
#undef KVT_COLUMN
    return list;
  }();
  sql::Result r = Record(columns, Store, TillRef, Employee);
  if (r.found() != Found::Yes) return c.Answered(r, kConfigRecord);
#define KVT_ASSIGN(column, setting) c.Set(setting, r.first()[#column]);
  KVT_CONFIG_RECORD(KVT_ASSIGN)
#undef KVT_ASSIGN
  return true;
}

bool ReadCustomerModuleInfo(Changes& c) {
  sql::Result r = sql::Run(
      "SELECT STR(KVTAR10.AUTOCNUM) AS AUTOCNUM, STR(DEFBALFWD) AS DEFBALFWD, DISPPHONE FROM "
      "KVTAR10 WHERE RECNO = 1");
  if (r.found() != Found::Yes) return c.Answered(r, "The customer module's settings (KVTAR10)");
  c.Set(CFG_AUTONUMBERNEWCUSTOMERS, Trimmed(r.first()["AUTOCNUM"]));
  c.Set(CFG_DEFAULTBALANCEFORWARD, Trimmed(r.first()["DEFBALFWD"]));
  c.Set(CFG_DISPLAYPHONENUMBER, r.first()["DISPPHONE"]);
  return true;
}

bool ReadPaymentConfigInfo(Changes& c, const char* Store, const char* TillRef,
                           const char* Employee) {
  sql::Result r = Record(
      "PRMPTCCTYP, PRMPTCCNUM, PRMPTCCEXP, PRMPTCCATH, PRMPTCKNUM, PRMPTCKACT, PRMPTPONUM, "
      "POACCTYP, POACCNUM, POACCEXP, POACCATH, POACKNUM, POACKACT",
      Store, TillRef, Employee);
  if (r.found() != Found::Yes) return c.Answered(r, kConfigRecord);
#define KVT_ASSIGN(column, setting) c.Set(setting, r.first()[#column]);
  KVT_PAYMENT_CONFIG(KVT_ASSIGN)
#undef KVT_ASSIGN
  return true;
}

bool ReadProgramsUsingConfigInfo(Changes& c, const char* Store, const char* TillRef,
                                 const char* Employee) {
  sql::Result r = Record("USEPRBK,USECSTORE", Store, TillRef, Employee);
  if (r.found() != Found::Yes) return c.Answered(r, kConfigRecord);
  c.Set(CFG_USEINVENTORY, r.first()["USEPRBK"]);
  c.Set(CFG_USECSTORE, r.first()["USECSTORE"]);
  return true;
}

// Whether the printer has control codes on file (KVTPTR1): its text mode.
bool ReadPrinterCodes(Changes& c, const std::string& printer, int* textMode) {
  sql::Result r = sql::Run("SELECT PCODES FROM KVTPTR1 WHERE PDRIVER = ?", {sql::Text(printer)});
  *textMode = r.found() == Found::Yes ? 1 : 0;
  return c.Answered(r, "The printers' control codes (KVTPTR1)");
}

// The record's layouts, then this computer's printers with their text modes
// (set by the caller once the load is committed).
bool ReadPrintInfo(Changes& c, const char* Store, const char* TillRef, const char* Employee,
                   int textModes[2]) {
  c.Set(CFG_RECEIPTPRINTER, Local("ReceiptPrinter", "None"));
  c.Set(CFG_INVOICEPRINTER, Local("InvoicePrinter", "None"));
  c.Set(CFG_RECTOINVPTR, Local("RecToInvPtr", "F"));
  c.Set(CFG_PAYTOINVPTR, Local("PayToInvPtr", "F"));
  if (!ReadPrinterCodes(c, c.Get(CFG_RECEIPTPRINTER), &textModes[0]) ||
      !ReadPrinterCodes(c, c.Get(CFG_INVOICEPRINTER), &textModes[1]))
    return false;
  sql::Result r = Record("RECFORM, INVFORM, DISPDTL", Store, TillRef, Employee);
  if (r.found() != Found::Yes) return c.Answered(r, kConfigRecord);
  c.Set(CFG_RECEIPTFORM, r.first()["RECFORM"]);
  c.Set(CFG_INVOICEFORM, r.first()["INVFORM"]);
  c.Set(CFG_DISPLAYTAXDETAIL, r.first()["DISPDTL"]);
  return true;
}

// Commits the load and, when it holds, the printers' text modes.
bool CommitWithTextModes(const Changes& c, const int textModes[2]) {
  if (!c.Commit()) return false;
  CFG_RECEIPTPRINTERTEXTMODE = textModes[0];
  CFG_INVOICEPRINTERTEXTMODE = textModes[1];
  return true;
}

// A setting of the record that every till shares (RECNO 1).
bool ReadShared(Changes& c, const char* column, char (&setting)[KVT_SETTING_LEN]) {
  sql::Result r = sql::Run(std::string("SELECT ") + column + " FROM KVTPOS10 WHERE RECNO = 1");
  if (r.found() != Found::Yes) return c.Answered(r, kConfigRecord);
  c.Set(setting, r.first()[column]);
  return true;
}

const char* const kStores = "The stores (KVTCOM13)";

// The only store's reference, as the database kind reads it best; "" when
// there is not exactly one store.
bool ReadOnlyStore(Changes& c, std::string* store) {
  const std::string& kind = KVTConnectionOneKind();
  store->clear();
  if (kind == "MSSQL" || kind == "MYSQL" || kind == "PGSQL") {
    sql::Result count = sql::Run("SELECT COUNT(*) AS N FROM KVTCOM13");
    if (count.found() != Found::Yes || count.first().Num("N") != 1)
      return c.Answered(count, kStores);
    sql::Result ref = sql::Run("SELECT REFERENCE FROM KVTCOM13");
    if (ref.found() == Found::Yes) *store = ref.first()["REFERENCE"];
    return c.Answered(ref, kStores);
  }
  sql::Result r = sql::Run("SELECT COUNT(1) AS N, MIN(REFERENCE) AS REFERENCE FROM KVTCOM13");
  if (r.found() == Found::Yes && r.first().Num("N") == 1) *store = r.first()["REFERENCE"];
  return c.Answered(r, kStores);
}

bool ReadDefaultLoc(Changes& c) {
  std::string store = Local("DefaultStore", "");
  if (store.empty() && !ReadOnlyStore(c, &store)) return false;
  c.Set(DEFAULT_STORE, store);
  return true;
}

bool ReadDefaultTillRef(Changes& c, const std::string& store) {
  std::string till = Local("DefaultTill", "");
  if (till.empty() && !store.empty()) {
    sql::Result r =
        sql::Run("SELECT COUNT(1) AS N, MIN(TILLNUM) AS TILLNUM FROM KVTCOM14 WHERE STOREREF = ?",
                 {sql::Text(store)});
    if (!c.Answered(r, "The tills of the store (KVTCOM14)")) return false;
    if (r.found() == Found::Yes && r.first().Num("N") == 1) till = r.first()["TILLNUM"];
  }
  c.Set(DEFAULT_TILLREF, till);
  return true;
}

}  // namespace

bool GetStartInfo() {
  Changes c;
  c.Set(MACHINETYPE, Local("MachineType", ""));
  c.Set(CONNECTIONTYPE, "");
  std::string store = Local("DefaultStore", "");
  std::string till = Local("DefaultTill", "");
  if (KVTConnectionOneIsOpen()) {
    if (!store.empty() && !till.empty()) {
      sql::Result r = sql::Run("SELECT CONTYPE FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
                               {sql::Text(store), sql::Text(till)});
      if (r.found() == Found::Yes) c.Set(CONNECTIONTYPE, r.first()["CONTYPE"]);
      c.Answered(r, "This computer's till (KVTCOM14)");
    }
    ReadShared(c, "BOSYSTEM", CFG_BOSYSTEM);
  }
  if (!c.Commit()) return false;
  DEBUGMODE = std::atoi(Local("Debug", "0").c_str());
  char postill[KVT_SETTING_LEN];
  GetPrivateProfileString("KVTEXE", "POSTill", "0", postill, sizeof postill, KVT_INI);
  POSTILL = std::atoi(postill);
  return true;
}

bool GetConfigInfo(const char* Store, const char* TillRef, const char* Employee) {
  Changes c;
  int textModes[2] = {CFG_RECEIPTPRINTERTEXTMODE, CFG_INVOICEPRINTERTEXTMODE};
  if (ReadConfigRecord(c, Store, TillRef, Employee) && ReadCustomerModuleInfo(c)) {
    c.Set(CFG_POLEDISPLAY, Local("PoleDisplay", "None"));
    c.Set(CFG_RECPTRTYPE, Local("ReceiptPrinterType", "None"));
    if (ReadPrintInfo(c, Store, TillRef, Employee, textModes) && ReadDefaultLoc(c) &&
        ReadDefaultTillRef(c, c.Get(DEFAULT_STORE)) &&
        ReadPaymentConfigInfo(c, Store, TillRef, Employee) &&
        ReadProgramsUsingConfigInfo(c, Store, TillRef, Employee) &&
        ReadShared(c, "USEBATCHES", CFG_USEBATCHES)) {
      c.Set(PRICE_FORMAT,
            "%." + std::to_string(std::atoi(c.Get(CFG_DECIMALSFORPRICE).c_str())) + "f");
      c.Set(POAREF, "");
      c.Set(POADESCR, "Paid on Account");
      c.Set(POACATEGORY, "PAID");
    }
  }
  return CommitWithTextModes(c, textModes);
}

bool GetPaymentConfigInfo(const char* Store, const char* TillRef, const char* Employee) {
  Changes c;
  ReadPaymentConfigInfo(c, Store, TillRef, Employee);
  return c.Commit();
}

bool GetProgramsUsingConfigInfo(const char* Store, const char* TillRef, const char* Employee) {
  Changes c;
  ReadProgramsUsingConfigInfo(c, Store, TillRef, Employee);
  return c.Commit();
}

bool GetPrintInfo(const char* Store, const char* TillRef, const char* Employee) {
  Changes c;
  int textModes[2] = {CFG_RECEIPTPRINTERTEXTMODE, CFG_INVOICEPRINTERTEXTMODE};
  ReadPrintInfo(c, Store, TillRef, Employee, textModes);
  return CommitWithTextModes(c, textModes);
}

bool HasPrinterCodes(const char* szPrinter) {
  Changes c;
  int textMode = 0;
  ReadPrinterCodes(c, szPrinter ? szPrinter : "", &textMode);
  return c.Commit() && textMode == 1;
}

bool GetDefaultLoc() {
  Changes c;
  ReadDefaultLoc(c);
  return c.Commit();
}

bool GetDefaultTillRef(const char* szStore) {
  Changes c;
  ReadDefaultTillRef(c, szStore ? szStore : "");
  return c.Commit();
}

bool GetTransferConfigInfo() {
  Changes c;
  ReadShared(c, "USEBATCHES", CFG_USEBATCHES);
  return c.Commit();
}

bool GetBackOfficeSystemInfo() {
  Changes c;
  ReadShared(c, "BOSYSTEM", CFG_BOSYSTEM);
  return c.Commit();
}

bool FindInvLoc(const char* szStore) {
  Changes c;
  sql::Result r = sql::Run("SELECT LOCATION FROM KVTCOM13 WHERE REFERENCE = ?",
                           {sql::Text(szStore ? szStore : "")});
  if (r.found() == Found::Yes) c.Set(INVENTORY_LOCATION, r.first()["LOCATION"]);
  c.Answered(r, "The store's inventory location (KVTCOM13)");
  return c.Commit();
}

// Module-wide state: the one definition of every name of globals.h.
#include "shell/globals.h"

#include <optional>
#include <vector>

#include "platform/win/profile.h"

HINSTANCE hInstance = nullptr;
HINSTANCE hApplication = nullptr;

#define KVT_TEXT(name) char name[KVT_SETTING_LEN] = "";
#define KVT_DEFINE_SETTING(column, setting) KVT_TEXT(setting)

// clang-format off
#define KVT_MODULE_TEXTS(X)                                                              \
  X(PROGRAM_NAME) X(PROGRAM_ABBR) X(LOCAL_INI) X(KVT_INI) X(SQL_INI) X(TOTAL_FORMAT)     \
  X(CURRENCY_FORMAT) X(CANADIAN_FORMAT) X(MACHINETYPE) X(CONNECTIONTYPE)                 \
  X(CFG_USEINVENTORY) X(CFG_USECSTORE) X(CFG_RECEIPTFORM) X(CFG_INVOICEFORM)             \
  X(CFG_DISPLAYTAXDETAIL) X(CFG_RECTOINVPTR) X(CFG_PAYTOINVPTR) X(CFG_POLEDISPLAY)       \
  X(CFG_RECPTRTYPE) X(CFG_AUTONUMBERNEWCUSTOMERS) X(CFG_DEFAULTBALANCEFORWARD)           \
  X(CFG_DISPLAYPHONENUMBER) X(CFG_USEBATCHES) X(CFG_BOSYSTEM) X(DEFAULT_STORE)           \
  X(DEFAULT_TILLREF) X(INVENTORY_LOCATION) X(PRICE_FORMAT) X(POAREF) X(POADESCR)         \
  X(POACATEGORY) X(LOGIN_STORE) X(LOGIN_DATE) X(LOGIN_TILL) X(LOGIN_SHIFT)               \
  X(LOGIN_EMPLOYEE)
// clang-format on

KVT_MODULE_TEXTS(KVT_TEXT)
KVT_CONFIG_RECORD(KVT_DEFINE_SETTING)
KVT_PAYMENT_CONFIG(KVT_DEFINE_SETTING)

int DEBUGMODE = 0;
int POSTILL = 0;
char CFG_RECEIPTPRINTER[KVT_PRINTER_LEN] = "";
char CFG_INVOICEPRINTER[KVT_PRINTER_LEN] = "";
int CFG_RECEIPTPRINTERTEXTMODE = 0;
int CFG_INVOICEPRINTERTEXTMODE = 0;

void KVTSetDefaultSettings() {
#define KVT_CLEAR(name) name[0] = '\0';
#define KVT_CLEAR_SETTING(column, setting) KVT_CLEAR(setting)
  KVT_MODULE_TEXTS(KVT_CLEAR)
  KVT_CONFIG_RECORD(KVT_CLEAR_SETTING)
  KVT_PAYMENT_CONFIG(KVT_CLEAR_SETTING)
#undef KVT_CLEAR_SETTING
#undef KVT_CLEAR
  DEBUGMODE = 0;
  POSTILL = 0;
  CFG_RECEIPTPRINTERTEXTMODE = 0;
  CFG_INVOICEPRINTERTEXTMODE = 0;

  KVTSetSetting(PROGRAM_NAME, "Point of Sale");
  KVTSetSetting(PROGRAM_ABBR, "KVTPOS");
  KVTSetSetting(LOCAL_INI, "kvtlocal.ini");
  KVTSetSetting(KVT_INI, ".\\KVT32.ini");
  KVTSetSetting(SQL_INI, ".\\KVTSQL.ini");
  KVTSetSetting(TOTAL_FORMAT, "%.2f");
  KVTSetSetting(CURRENCY_FORMAT, "$%.2f");
  KVTSetSetting(CANADIAN_FORMAT, "$%.4f");
  KVTSetSetting(CFG_DECIMALSFORPRICE, "2");
  KVTSetSetting(PRICE_FORMAT, "%.2f");
  KVTSetSetting(CFG_POLEDISPLAY, "None");
  KVTSetSetting(CFG_RECPTRTYPE, "None");
  KVTSetSetting(CFG_RECEIPTPRINTER, "None");
  KVTSetSetting(CFG_INVOICEPRINTER, "None");
  KVTSetSetting(CFG_RECTOINVPTR, "F");
  KVTSetSetting(CFG_PAYTOINVPTR, "F");
  KVTSetSetting(POADESCR, "Paid on Account");
  KVTSetSetting(POACATEGORY, "PAID");
}

namespace {

std::vector<void (*)()>& Clearers() {
  static std::vector<void (*)()> clearers;
  return clearers;
}

// A fresh process starts from the defaults too.
[[maybe_unused]] const bool kDefaultsSet = (KVTSetDefaultSettings(), true);

}  // namespace

bool KVTClearedOnReset(void (*clear)()) {
  Clearers().push_back(clear);
  return true;
}

void KVTResetModuleState() {
  KVTSetDefaultSettings();
  for (auto clear : Clearers()) clear();
}

namespace {
std::optional<std::string> g_connectionOneKind;
[[maybe_unused]] const bool kKindForgotten = KVTClearedOnReset([] { g_connectionOneKind.reset(); });
}  // namespace

const std::string& KVTConnectionOneKind() {
  if (!g_connectionOneKind)
    g_connectionOneKind = kvt::ProfileString(".\\KVTSQL.INI", "KVTSQL Connection One", "Translate");
  return *g_connectionOneKind;
}

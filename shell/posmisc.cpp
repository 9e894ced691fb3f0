// Configuration loaders.
#include "shell/posmisc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/win/profile.h"
#include "shell/dbutil.h"
#include "shell/globals.h"

namespace {

std::string ConfigWhere(const char* Store, const char* TillRef, const char* Employee) {
  return " FROM KVTPOS10 WHERE STORE = '" + KVTSqlQuote(Store) + "' AND TILLREF = '" +
         KVTSqlQuote(TillRef) + "' AND SLSMAN = '" + KVTSqlQuote(Employee) + "'";
}

std::string Local(const char* key, const char* def) {
  char buf[KVT_PRINTER_LEN];
  GetPrivateProfileString(PROGRAM_NAME, key, def, buf, sizeof buf, LOCAL_INI);
  return buf;
}

void LoadConfigRecord(const char* Store, const char* TillRef, const char* Employee) {
  static const std::string columns = [] {
    std::string c;
#define KVT_COLUMN(column, setting) c += (c.empty() ? "" : ", ") + std::string(#column);
    KVT_CONFIG_RECORD(KVT_COLUMN)
#undef KVT_COLUMN
    return c;
  }();
  std::vector<std::string> row;
  if (!KVTQueryRow("SELECT " + columns + ConfigWhere(Store, TillRef, Employee), &row)) return;
  std::size_t i = 0;
#define KVT_ASSIGN(column, setting) KVTSetSetting(setting, row[i++].c_str());
  KVT_CONFIG_RECORD(KVT_ASSIGN)
#undef KVT_ASSIGN
}

void LoadCustomerModuleInfo() {
  std::vector<std::string> row;
  if (!KVTQueryRow("SELECT STR(KVTAR10.AUTOCNUM), STR(DEFBALFWD), DISPPHONE FROM KVTAR10 WHERE "
                   "RECNO = 1",
                   &row))
    return;
  KVTSetSetting(CFG_AUTONUMBERNEWCUSTOMERS, row[0].c_str());
  TRIM(CFG_AUTONUMBERNEWCUSTOMERS);
  KVTSetSetting(CFG_DEFAULTBALANCEFORWARD, row[1].c_str());
  TRIM(CFG_DEFAULTBALANCEFORWARD);
  KVTSetSetting(CFG_DISPLAYPHONENUMBER, row[2].c_str());
}

// The first row's count and reference, as the database kind reads it best.
bool OnlyRow(const std::string& countSql, const std::string& refSql, const std::string& fileSql,
             std::string* value) {
  std::string kind = kvt::ProfileString(".\\KVTSQL.INI", "KVTSQL Connection One", "Translate");
  std::vector<std::string> row;
  if (kind == "MSSQL" || kind == "MYSQL" || kind == "PGSQL") {
    if (!KVTQueryRow(countSql, &row) || std::atoi(row[0].c_str()) != 1) return false;
    if (!KVTQueryRow(refSql, &row)) return false;
    *value = row[0];
    return true;
  }
  if (!KVTQueryRow(fileSql, &row) || row.size() < 2 || std::atoi(row[0].c_str()) != 1) return false;
  *value = row[1];
  return true;
}

}  // namespace

void GetConfigInfo(const char* Store, const char* TillRef, const char* Employee) {
  LoadConfigRecord(Store, TillRef, Employee);
  LoadCustomerModuleInfo();
  KVTSetSetting(CFG_POLEDISPLAY, Local("PoleDisplay", "None").c_str());
  KVTSetSetting(CFG_RECPTRTYPE, Local("ReceiptPrinterType", "None").c_str());
  GetPrintInfo(Store, TillRef, Employee);
  GetDefaultLoc();
  GetDefaultTillRef(DEFAULT_STORE);
  GetPaymentConfigInfo(Store, TillRef, Employee);
  GetProgramsUsingConfigInfo(Store, TillRef, Employee);
  GetTransferConfigInfo();
  KVTsprintf(PRICE_FORMAT, "%%.%df", std::atoi(CFG_DECIMALSFORPRICE));
  KVTSetSetting(POAREF, "");
  KVTSetSetting(POADESCR, "Paid on Account");
  KVTSetSetting(POACATEGORY, "PAID");
}

void GetPaymentConfigInfo(const char* Store, const char* TillRef, const char* Employee) {
  std::vector<std::string> row;
  if (!KVTQueryRow("SELECT PRMPTCCTYP, PRMPTCCNUM, PRMPTCCEXP, PRMPTCCATH, PRMPTCKNUM, "
                   "PRMPTCKACT, PRMPTPONUM, POACCTYP, POACCNUM, POACCEXP, POACCATH, POACKNUM, "
                   "POACKACT" +
                       ConfigWhere(Store, TillRef, Employee),
                   &row))
    return;
  std::size_t i = 0;
#define KVT_ASSIGN(column, setting) KVTSetSetting(setting, row[i++].c_str());
  KVT_PAYMENT_CONFIG(KVT_ASSIGN)
#undef KVT_ASSIGN
}

void GetProgramsUsingConfigInfo(const char* Store, const char* TillRef, const char* Employee) {
  std::vector<std::string> row;
  if (!KVTQueryRow("SELECT USEPRBK,USECSTORE" + ConfigWhere(Store, TillRef, Employee), &row))
    return;
  KVTSetSetting(CFG_USEINVENTORY, row[0].c_str());
  KVTSetSetting(CFG_USECSTORE, row[1].c_str());
}

void GetPrintInfo(const char* Store, const char* TillRef, const char* Employee) {
  std::vector<std::string> row;
  if (!KVTQueryRow("SELECT RECFORM, INVFORM, DISPDTL" + ConfigWhere(Store, TillRef, Employee),
                   &row))
    return;
  KVTSetSetting(CFG_RECEIPTFORM, row[0].c_str());
  KVTSetSetting(CFG_INVOICEFORM, row[1].c_str());
  KVTSetSetting(CFG_DISPLAYTAXDETAIL, row[2].c_str());
}

void GetDefaultLoc() {
  KVTSetSetting(DEFAULT_STORE, Local("DefaultStore", "").c_str());
  if (DEFAULT_STORE[0]) return;
  std::string store;
  if (OnlyRow("SELECT COUNT(*) FROM KVTCOM13", "SELECT REFERENCE FROM KVTCOM13",
              "SELECT COUNT(1),REFERENCE FROM KVTCOM13", &store))
    KVTSetSetting(DEFAULT_STORE, store.c_str());
}

void GetDefaultTillRef(const char* szStore) {
  KVTSetSetting(DEFAULT_TILLREF, Local("DefaultTill", "").c_str());
  if (DEFAULT_TILLREF[0] || !szStore || !szStore[0]) return;
  std::vector<std::string> row;
  if (KVTQueryRow(
          "SELECT COUNT(1),TILLNUM FROM KVTCOM14 WHERE STOREREF = '" + KVTSqlQuote(szStore) + "'",
          &row) &&
      row.size() >= 2 && std::atoi(row[0].c_str()) == 1)
    KVTSetSetting(DEFAULT_TILLREF, row[1].c_str());
}

void GetTransferConfigInfo() {
  std::vector<std::string> row;
  if (KVTQueryRow("SELECT USEBATCHES FROM KVTPOS10 WHERE RECNO = 1", &row))
    KVTSetSetting(CFG_USEBATCHES, row[0].c_str());
}

void GetBackOfficeSystemInfo() {
  std::vector<std::string> row;
  if (KVTQueryRow("SELECT BOSYSTEM FROM KVTPOS10 WHERE RECNO = 1", &row))
    KVTSetSetting(CFG_BOSYSTEM, row[0].c_str());
}

void FindInvLoc(const char* szStore) {
  std::vector<std::string> row;
  if (KVTQueryRow("SELECT LOCATION FROM KVTCOM13 WHERE REFERENCE = '" +
                      KVTSqlQuote(szStore ? szStore : "") + "'",
                  &row))
    KVTSetSetting(INVENTORY_LOCATION, row[0].c_str());
}

void StripDateZeros(char* Date) {
  if (!Date) return;
  char work[32];
  std::snprintf(work, sizeof work, "%s", Date);
  TRIM(work);
  std::size_t len = std::strlen(work);
  bool keep =
      len >= 8 && (std::strcmp(work + 4, "1000") == 0 || std::strcmp(work + 4, "2000") == 0 ||
                   std::strcmp(work + 4, "3000") == 0);
  if (!keep) {
    while (len >= 2 && work[len - 1] == '0' && work[len - 2] == '0') work[len -= 2] = '\0';
  }
  std::strcpy(Date, work);
}

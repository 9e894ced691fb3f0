// Stock and sales-category history of a saved sale: the inventory module
// wrapper and the stock and history of each sold line.
#include "sale/invent.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "pricing/pricing.h"
#include "shell/hostreq.h"

namespace {

const char* kNotLoaded = "Kovatel Software Inventory module has not been loaded.";
const char* kNotInitialized = "Kovatel Software Inventory module has not been initialized.";
const char* kCannotLoad =
    "Unable to load Kovatel Software Inventory. Please make sure KVTINV.DLL is correctly "
    "installed and try again.";
const char* kWrongVersion =
    "Incorrect version of Kovatel Software Inventory. Please update KVTINV.DLL with the newest "
    "version and try again.";

const char* Text(const char* s) {
  return s ? s : "";
}

template <std::size_t N>
void Copy(char (&dest)[N], const char* text) {
  KVTsprintf(dest, "%s", Text(text));
}

}  // namespace

KVTInventoryModule::KVTInventoryModule(HWND parent) : ParentWin(parent) {}

void KVTInventoryModule::SetErrorBuffer(char* buffer, unsigned size) {
  szErrorBuf = size ? buffer : nullptr;
  iErrorLen = buffer ? size : 0;
  if (szErrorBuf) szErrorBuf[0] = '\0';
}

int KVTInventoryModule::Fail(const char* text) {
  error = 1;
  if (szErrorBuf) KVTsprintf(szErrorBuf, iErrorLen, "%s", text);
  return 0;
}

int KVTInventoryModule::LoadModule() {
  module = KVTHostModuleRequest(ParentWin, "KVTINV.DLL");
  if (!module) return Fail(kCannotLoad);
  error = 0;
  return 1;
}

int KVTInventoryModule::Initialize() {
  if (!module) return Fail(kNotLoaded);
  pf = GetProc<KVTSendDLLMessageB>(module, "SendDLLMessageB");
  if (!pf) return Fail(kWrongVersion);
  error = 0;
  return 1;
}

int KVTInventoryModule::CheckFunctionPtr() {
  return pf ? 1 : Fail(kNotInitialized);
}

int KVTInventoryModule::VerifyVersion(int version) {
  if (!CheckFunctionPtr()) return 0;
  if (pf(nullptr, nullptr, "GETVERSION", nullptr, nullptr, 0, nullptr, 0) < version)
    return Fail(kWrongVersion);
  error = 0;
  return 1;
}

int KVTInventoryModule::Request(const char* command, const char* text, KVTConnection* conn) {
  if (!CheckFunctionPtr()) return 0;
  if (szErrorBuf) szErrorBuf[0] = '\0';
  int result = pf(ParentWin, conn, command, text, nullptr, 0, szErrorBuf, iErrorLen);
  error = result < 1 ? 1 : 0;
  return result;
}

int KVTInventoryModule::LockLocation(const char* item, const char* location, KVTConnection* conn) {
  Copy(szInventoryRef, item);
  Copy(szLocation, (location && *location) ? location : GetDefaultLocation());
  std::string request = std::string(szInventoryRef) + "\t" + szLocation;
  return Request("LOCKLOCATION", request.c_str(), conn);
}

int KVTInventoryModule::UnlockLocation(KVTConnection* conn) {
  std::string request = std::string(szInventoryRef) + "\t" + szLocation;
  return Request("UNLOCKLOCATION", request.c_str(), conn);
}

int KVTInventoryModule::UpdateInventoryWithAmounts(double qty, double qty2, double qty3,
                                                   double qty4, double cost, double value,
                                                   KVTConnection* conn) {
  char request[1024];
  KVTsprintf(request, "%s\t%s\t%.5f\t%.5f\t%.5f\t%.5f\t%.5f\t%.5f\t%s\t%s\t%s\t%s\t%s",
             szInventoryRef, szLocation, qty, qty2, qty3, qty4, cost, value, szPackage, szProgram,
             szSourceLink, szSourceRef, szActDate);
  return Request("UPDATEINVENTORY", request, conn);
}

int KVTInventoryModule::UpdateLastSaleDate(const char* saleDate, KVTConnection* conn) {
  std::string request = std::string(szInventoryRef) + "\t" + szLocation + "\t" + Text(saleDate);
  return Request("UPDATELASTSALEDATE", request.c_str(), conn);
}

void KVTInventoryModule::SetActivityInfo(const char* text) {
  szPackage[0] = szProgram[0] = szSourceLink[0] = szSourceRef[0] = szActDate[0] = '\0';
  std::string all = Text(text);
  std::size_t start = 0;
  while (start <= all.size()) {
    std::size_t end = all.find('\t', start);
    if (end == std::string::npos) end = all.size();
    std::string item = all.substr(start, end - start);
    start = end + 1;
    if (item.size() < 3 || item[2] != '=') continue;
    std::string value = item.substr(3);
    std::string key = item.substr(0, 2);
    if (key == "00") Copy(szPackage, value.c_str());
    if (key == "01") Copy(szProgram, value.c_str());
    if (key == "02") Copy(szSourceLink, value.c_str());
    if (key == "03") Copy(szSourceRef, value.c_str());
    if (key == "04") Copy(szActDate, value.c_str());
  }
}

// ---- The stock and history of a save ------------------------------------------

namespace kvt::sale {

SaleStock::SaleStock(HWND parent)
    : parent_(parent),
      history_(
          "UPDATE KVTCOM12 SET CURQTY3 = LTRIM(STR(NUMVAL(CURQTY3)+(?),15,3)),CURDOL3 = "
          "LTRIM(STR(NUMVAL(CURDOL3)+(?),15,2)),MTDQTY3 = LTRIM(STR(NUMVAL(MTDQTY3)+(?),15,3)),"
          "MTDDOL3 = LTRIM(STR(NUMVAL(MTDDOL3)+(?),15,2)),YTDQTY3 = "
          "LTRIM(STR(NUMVAL(YTDQTY3)+(?),15,3)),YTDDOL3 = LTRIM(STR(NUMVAL(YTDDOL3)+(?),15,2)) "
          "WHERE REFERENCE = ? AND LOCATION = ?") {}

Notice StockProblem(const StockMove& m, const char* what) {
  return {"Ref: " + m.item + " Loc: " + m.location + " Qty: " + m.quantity + " **" + what + "**",
          false};
}

bool SaleStock::ReduceQuantity(const StockMove& m, std::vector<Notice>* notices) {
  char errorText[512] = "";
  KVTInventoryModule inventory(parent_);
  inventory.SetErrorBuffer(errorText, sizeof errorText);
  if (!inventory.LoadModule() || !inventory.Initialize() || !inventory.VerifyVersion(1)) {
    if (errorText[0]) notices->push_back({errorText, false});
    return false;
  }
  const double sold = std::atof(m.quantity.c_str());
  const double cost = sold * std::atof(m.unitCost.c_str());
  std::string activity =
      "00=KVTPOS\t01=Sales\t02=" + m.saleLink + "\t03=" + m.saleNumber + "\t04=" + m.saleDate;
  inventory.SetActivityInfo(activity.c_str());

  auto report = [&](const char* what) { notices->push_back(StockProblem(m, what)); };
  if (inventory.LockLocation(m.item.c_str(), m.location.c_str(), &conn_) < 1) {
    report("Error locking item");
    return false;
  }
  if (inventory.UpdateInventoryWithAmounts(-sold, 0, 0, 0, cost, std::atof(m.amount.c_str()),
                                           &conn_) < 1)
    report("Error Updating Quantity");
  if (inventory.UpdateLastSaleDate(m.saleDate.c_str(), &conn_) < 1)
    report("Error Updating Last Sale Date");
  if (inventory.UnlockLocation(&conn_) < 1) report("Error unlocking item");
  return true;
}

bool SaleStock::UpdateCategoryHistory(const std::string& category, const std::string& store,
                                      double quantity, double amount,
                                      std::vector<Notice>* notices) {
  using kvt::sql::Number;
  using kvt::sql::Text;
  kvt::sql::Result r =
      history_.Run({Number(quantity), Number(amount), Number(quantity), Number(amount),
                    Number(quantity), Number(amount), Text(category), Text(store)});
  if (r.ok()) return true;
  notices->push_back(
      {"The history information was NOT updated for sales category " + category + ".\n" + r.error(),
       false});
  return false;
}

}  // namespace kvt::sale

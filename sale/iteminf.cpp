// The price check window.
#include "sale/iteminf.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "platform/sql/query.h"
#include "pricing/prices.h"
#include "pricing/pricing.h"
#include "sale/entry.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace {

using kvt::sql::Found;
using kvt::sql::Text;

const char kSqlItem[] =
    "SELECT KVTINV1.DESCRIPT,LISTPRICE,TAXABLE,KVTINV1.FARMUSE FROM KVTINV2,KVTINV1 WHERE "
    "KVTINV2.REFERENCE = ? AND KVTINV2.LOCATION = ? AND KVTINV1.REFERENCE=KVTINV2.REFERENCE AND "
    "KVTINV1.INACTIVE = 'F'";
const char kSqlTillCode[] = "SELECT DESCRIPT FROM KVTCOM12 WHERE TILLCODE = ? AND LOCATION = ?";
const char kSqlPromotion[] =
    "SELECT BEGINDATE,ENDDATE,PPRICE1 FROM KVTPRB1 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlFeature[] = "SELECT FEATURE FROM KVTCOM20 WHERE FEATURE = ?";
const char kNotValid[] = "Not a valid inventory reference";

}  // namespace

const KVTFormDecl& PViteminfDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PViteminfDlg", "Price Check", 60, 6);
    f.Edit(IDC_ITEMREF, "Reference : ", 15, 1, 15, KVT_BIND(PViteminfData, ITEMREF));
    f.Edit(IDC_DESCRIPTION, "Description : ", 15, 2, 40, KVT_BIND(PViteminfData, DESCRIPTION))
        .NoTabStop();
    f.Edit(IDC_PRICE, "Price : ", 15, 3, 12, KVT_BIND(PViteminfData, PRICE)).NoTabStop();
    f.Label(IDC_KEYHELP, "", 2, 5, 30);
    return f;
  }();
  return form;
}

PViteminfDlg::PViteminfDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  SetFieldChecker(this);
}

void PViteminfDlg::SetupWindow() {
  ProtectField(IDC_DESCRIPTION);
  ProtectField(IDC_PRICE);
  SetFieldText(IDC_KEYHELP, "ESC - Exit");
  KVTSetFieldFocus(IDC_ITEMREF);
}

int PViteminfDlg::VerifyFields(int fieldId) {
  if (fieldId != IDC_ITEMREF) return 0;
  const std::string ref = TRIM(Data.ITEMREF);
  if (ref.empty()) return 1;
  SetFieldVar(IDC_PRICE, "");
  LookUp(ref);
  DoAppToScr();
  KVTSetFieldFocus(IDC_ITEMREF);
  return 1;
}

bool PViteminfDlg::LookUp(const std::string& ref) {
  auto failed = [&](const char* what, const kvt::sql::Result& r) {
    if (r.found() != Found::Failed) return false;
    std::string text = std::string("The ") + what + " could not be read.\n\n" + r.error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    SetFieldVar(IDC_DESCRIPTION, "");
    return true;
  };
  const bool inventory =
      kvt::sale::IsInventoryReference(ref, CFG_MAXDEPTCHARACTERS, CFG_USEINVENTORY);
  kvt::sql::Result item;
  if (inventory) {
    item = kvt::sql::Run(kSqlItem, {Text(ref), Text(INVENTORY_LOCATION)});
    if (failed("inventory item", item)) return false;
  } else {
    kvt::sql::Result feature = kvt::sql::Run(kSqlFeature, {Text("20765")});
    if (failed("feature switches", feature)) return false;
    std::string sql = kSqlTillCode;
    if (feature.found() == Found::Yes) sql += " AND INACTIVE <> '1'";
    item = kvt::sql::Run(sql, {Text(ref), Text(LOGIN_STORE)});
    if (failed("till code", item)) return false;
  }
  const bool found = item.found() == Found::Yes;
  SetFieldVar(IDC_DESCRIPTION, found ? item.first()["DESCRIPT"].c_str() : kNotValid);
  DoAppToScr(IDC_DESCRIPTION);
  if (!found) return false;

  kvt::pricing::ModuleInventory module(Handle());
  kvt::pricing::Prices prices(module);
  prices.format = {PRICE_FORMAT, std::atoi(CFG_DECIMALSFORPRICE), TOTAL_FORMAT};
  prices.today = MakeDateYYYYMMDD(CurrentDate().c_str());
  auto told = [&](const std::string& error) {
    MessageBox(error.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return false;
  };
  std::string price;
  if (inventory) {
    // The module's price as it stands: the shelf price, before the
    // customer's discount.
    kvt::pricing::Looked<kvt::pricing::ModuleAnswer> answer =
        module.Ask({szCustRef, "", ref, INVENTORY_LOCATION, "1", true});
    if (answer.failed()) return told(answer.error);
    if (!answer.value.price.empty())
      price = prices.format.Price(std::atof(answer.value.price.c_str()));
    kvt::sql::Result promo = kvt::sql::Run(kSqlPromotion, {Text(ref), Text(INVENTORY_LOCATION)});
    if (failed("inventory item's promotion", promo)) return false;
    if (promo.found() == Found::Yes) {
      const kvt::sql::Row p = promo.first();
      if (kvt::sale::PromotionHolds(MakeDateYYYYMMDD(p["BEGINDATE"].c_str()),
                                    MakeDateYYYYMMDD(p["ENDDATE"].c_str()), prices.today))
        price = prices.format.Price(std::atof(p["PPRICE1"].c_str()));
    }
  } else {
    kvt::pricing::Looked<kvt::pricing::TillCode> code = prices.FindTillCode(ref, LOGIN_STORE);
    if (code.failed()) return told(code.error);
    price = kvt::pricing::PriceTillCode(code.value, prices.format, prices.today).regular;
  }
  SetFieldVar(IDC_PRICE, price.c_str());
  return true;
}

KVT_REGISTER_SCREEN(PViteminfDlg);

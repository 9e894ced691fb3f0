// The payment screen's field checks and the card, check and credit checks.
#include "payment/pos2a.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "payment/fieldtext.h"
#include "payment/payrules.h"
#include "payment/pos2.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/query.h"
#include "sale/pos1.h"
#include "shell/dbutil.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace sql = kvt::sql;
namespace pay = kvt::payment;

namespace {

using kvt::payment::Is;
using kvt::payment::Put;
using kvt::payment::Trimmed;

bool CardForm(char form) {
  return form == '3' || form == '9' || form == 'G';
}

}  // namespace

void POS2A::Refuse(int id) {
  ParentDlg->SetFieldVar(id, "");
  ParentDlg->KVTSetFieldFocus(id);
}

void POS2A::EndTender() {
  ParentDlg->NewPayment();
  ParentDlg->FocusFormList();
}

int POS2A::VerifyFields(int fieldId) {
  PVpos2Dlg& d = *ParentDlg;
  if (GetKeyState(VK_SHIFT) < 0 || !KVTLastMessageWasKey()) return 0;
  d.DoScrToApp();
  const char form = d.Form();
  switch (fieldId) {
    case IDC_PYMTFORM:
      if (d.ChoosePaymentForm()) d.DisplayPaymentInformation(d.Form(), IDC_PYMTFORM);
      return 1;
    case IDC_CUSTREF:
      if (d.CustomerEntered()) d.DisplayPaymentInformation(form, IDC_CUSTREF);
      return 1;
    case IDC_CUSTNAME: {
      Put(d.Data.CUSTNAME, Trimmed(d.Data.CUSTNAME));
      if (d.Data.CUSTNAME[0] == '\0' && d.TenderDefaultCustomer(form) == d.Data.CUSTREF)
        Put(d.Data.CUSTNAME, d.szCustName);
      d.DoAppToScr(IDC_CUSTNAME);
      if (!d.Data.CUSTNAME[0]) {
        d.MessageBox("Customer name field is required.", "Error", MB_OK | MB_ICONSTOP);
        Refuse(IDC_CUSTNAME);
        return 1;
      }
      d.DisplayPaymentInformation(form, IDC_CUSTNAME);
      return 1;
    }
    case IDC_PI1:
      if (form == '2' && BadCheck(d.Data.PI1)) {
        EndTender();
        return 1;
      }
      if (CardForm(form)) {
        if (d.Data.PI1[0] == '/' && !SearchCCardType()) {
          Refuse(IDC_PI1);
          return 1;
        }
        PVpos1Dlg* s = d.Sale();
        if (!ValidCCType(d.Handle(), d.Data.PI1, s ? s->Data.STORE : "")) {
          d.MessageBox("Invalid credit card.", PROGRAM_NAME, MB_OK | MB_ICONSTOP);
          Refuse(IDC_PI1);
          return 1;
        }
      }
      d.DisplayPaymentInformation(form, IDC_PI1);
      return 1;
    case IDC_PI2:
      if (CardForm(form) && CardLocked()) return 1;
      d.DisplayPaymentInformation(form, IDC_PI2);
      return 1;
    case IDC_PI3:
      if (std::strlen(d.Data.PI3) != 4) {
        d.MessageBox("Invalid date.\n\nEnter in the format MMYY.", PROGRAM_NAME,
                     MB_OK | MB_ICONINFORMATION);
        Refuse(IDC_PI3);
        return 1;
      }
      Put(d.szExpDate, d.Data.PI3);
      if (!ValidCCExpDate(d.Handle(), d.szExpDate)) {
        EndTender();
        return 1;
      }
      d.DisplayPaymentInformation(form, IDC_PI3);
      return 1;
    case IDC_PI4:
      d.DisplayPaymentInformation(form, IDC_PI4);
      return 1;
    case IDC_POADISCOUNT:
      PoaDiscount();
      return 1;
    case IDC_AMOUNT:
      if (form == 'C' && !d.bEnteringMixedPOA && !CanadianAmount()) return 1;
      d.AcceptAmount();
      return 1;
    case IDC_TENDERED:
      d.AcceptTendered();
      return 1;
    default:
      return 0;
  }
}

int POS2A::VerifyRequiredFields() {
  PVpos2Dlg& d = *ParentDlg;
  if (Trimmed(d.Data.CUSTREF).empty()) {
    d.MessageBox("Customer Reference field is required.", "Error", MB_OK | MB_ICONSTOP);
    Refuse(IDC_CUSTREF);
    return 0;
  }
  if (Trimmed(d.Data.CUSTNAME).empty()) {
    d.MessageBox("Customer name field is required.", "Error", MB_OK | MB_ICONSTOP);
    Refuse(IDC_CUSTNAME);
    return 0;
  }
  return 1;
}

bool POS2A::BadCheck(const char* account) {
  sql::Result r = sql::Run("SELECT RECNO FROM KVTPOS11 WHERE CKACCTNUM = ?", {sql::Text(account)});
  if (r.found() == sql::Found::Failed) {
    KVTShowReadError(ParentDlg->Handle(), "The bad check list", r.error());
    return true;
  }
  if (r.found() == sql::Found::No) return false;
  ParentDlg->MessageBox("This account has a bad check!!\n\nChoose a different form of payment.",
                        PROGRAM_NAME, MB_OK | MB_ICONSTOP);
  return true;
}

bool POS2A::CardLocked() {
  PVpos2Dlg& d = *ParentDlg;
  if (!KVTFeatureOn("20090")) return false;
  std::string number;
  for (const char* c = d.Data.PI2; *c; ++c)
    if (*c != ' ') number += *c;
  sql::Result r = sql::Run("SELECT RECNO FROM KVTPOS99 WHERE REFERENCE=? AND CCACCOUNT = ?",
                           {sql::Text(d.Data.CUSTREF), sql::Text(number)});
  if (r.found() == sql::Found::Failed) {
    KVTShowReadError(d.Handle(), "The locked cards", r.error());
    return true;
  }
  if (r.found() == sql::Found::No) return false;
  d.MessageBox("This credit card has been locked!.\n\nChoose a different form of payment.",
               PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
  d.KVTSetFieldFocus(IDC_PI2);
  return true;
}

bool POS2A::ExceededCreditLimit(const char* reference, const char* amount) {
  PVpos2Dlg& d = *ParentDlg;
  sql::Result limit =
      sql::Run("SELECT CREDITLMT FROM KVTAR51 WHERE REFERENCE = ?", {sql::Text(reference)});
  if (limit.found() == sql::Found::Failed) {
    KVTShowReadError(d.Handle(), "The customer's credit limit", limit.error());
    return true;
  }
  if (limit.found() == sql::Found::No) return false;
  sql::Result aged = sql::Run(
      "SELECT CURRENT,MONTH1,MONTH2,MONTH3,MONTH4,MONTH5,MONTH6,MONTH7,MONTH8,MONTH9,MONTH10,"
      "MONTH11,MONTH12,OVERYEAR FROM KVTAR54 WHERE REFERENCE = ?",
      {sql::Text(reference)});
  if (aged.found() == sql::Found::Failed) {
    KVTShowReadError(d.Handle(), "The customer's balance", aged.error());
    return true;
  }
  pay::AgedBalance b;
  if (aged.found() == sql::Found::Yes)
    for (int i = 0; i < 14; ++i) b.age[i] = aged.first().Num(pay::kAgeColumns[i]);
  if (!pay::CreditLimitExceeded(limit.first()["CREDITLMT"], b.Balance(), std::atof(amount)))
    return false;
  if (!Is(CFG_ALLOWCREDITLIMITOVERRIDE, "T")) {
    d.MessageBox("   Customer Credit Limit Exceeded.\n\nChoose a different form of payment.",
                 "Kovatel Software", MB_OK | MB_ICONSTOP);
    return true;
  }
  if (d.MessageBox("Customer Credit Limit Exceeded.  Continue?", "Kovatel Software",
                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return true;
  if (!Is(CFG_PASSWORDCREDITLIMITOVERRIDE, "T")) return false;
  std::unique_ptr<PVDialog> password(KVTNewDialog("PVpasswordDlg", d.Handle(), "Password"));
  return password->Execute() != IDOK;
}

bool POS2A::SearchCCardType() {
  PVpos2Dlg& d = *ParentDlg;
  std::string filter = " WHERE (LOCATION = '" + std::string(INVENTORY_LOCATION) +
                       "' OR LOCATION = '' OR LOCATION IS NULL)";
  KVTSearchResult chosen;
  if (!KVTSimpleSearch(d.Handle(), "CCTYPESRCH", "CCTYPEFMT", &chosen, filter.c_str()))
    return false;
  d.SetFieldVar(IDC_PI1, chosen.Value(0).c_str());
  return true;
}

bool POS2A::ValidCCType(HWND parent, const char* type, const char* location) {
  sql::Result r = sql::Run(
      "SELECT RECNO FROM KVTFL25 WHERE CODE = ? AND (LOCATION = ? OR LOCATION = '' OR LOCATION "
      "IS NULL)",
      {sql::Text(type ? type : ""), sql::Text(location ? location : "")});
  if (r.found() == sql::Found::Failed) KVTShowReadError(parent, "The card types", r.error());
  return r.found() == sql::Found::Yes;
}

bool POS2A::ValidCCExpDate(HWND parent, char* date) {
  const pay::ExpiryCheck e = pay::CheckExpiry(date, CurrentDate());
  if (!e.ok) {
    ParentDlg->MessageBox(e.message.c_str(), "Point of Sale", MB_OK | MB_ICONSTOP);
    return false;
  }
  std::strcpy(date, e.date.c_str());
  return true;
}

void POS2A::PoaDiscount() {
  PVpos2Dlg& d = *ParentDlg;
  PVpos1Dlg* s = d.Sale();
  if (!s) return;
  s->dDiscount = 0;
  sql::Result aged = sql::Run(
      "SELECT CURRENT,MONTH1,MONTH2,MONTH3,MONTH4,MONTH5,MONTH6,MONTH7,MONTH8,MONTH9,MONTH10,"
      "MONTH11,MONTH12,OVERYEAR FROM KVTAR54 WHERE REFERENCE = ?",
      {sql::Text(d.Data.CUSTREF)});
  if (aged.found() == sql::Found::Failed) {
    KVTShowReadError(d.Handle(), "The customer's balance", aged.error());
    return;
  }
  pay::AgedBalance b;
  if (aged.found() == sql::Found::Yes)
    for (int i = 0; i < 14; ++i) b.age[i] = aged.first().Num(pay::kAgeColumns[i]);
  s->dDiscount = KVTRound(std::atof(d.Data.DISCOUNT), 2);
  char buf[32];
  KVTsprintf(buf, sizeof buf, TOTAL_FORMAT, s->dDiscount);
  d.SetFieldVar(IDC_POADISCOUNT, buf);
  if (s->dDiscount > b.Balance()) {
    d.MessageBox("The discount cannot be greater than the balance due.", "Error",
                 MB_OK | MB_ICONSTOP);
    d.KVTSetFieldFocus(IDC_POADISCOUNT);
    return;
  }
  if (!KVTFeatureOn("9333")) {
    KVTsprintf(buf, sizeof buf, TOTAL_FORMAT, KVTRound(b.Balance() - s->dDiscount, 2));
    d.SetFieldVar(IDC_AMOUNT, buf);
  }
  d.AmountStep(d.Form());
}

bool POS2A::CanadianAmount() {
  PVpos2Dlg& d = *ParentDlg;
  const double rate = std::atof(CFG_POCANADIANEXCHANGE);
  if (rate <= 0) return false;
  char buf[32];
  if (!d.Data.AMOUNT[0] && !d.PayOnAcct()) {
    KVTsprintf(buf, sizeof buf, TOTAL_FORMAT, std::atof(d.Data.AMTREMAIN) * rate);
    Put(d.Data.AMOUNT, buf);
  }
  Put(d.Data.CANAMOUNT, d.Data.AMOUNT);
  Put(d.Data.CANEXCHG, CFG_POCANADIANEXCHANGE);
  const double converted = KVTRound(std::atof(d.Data.CANAMOUNT) / rate, 2);
  if (KVTRound(std::atof(d.Data.AMTREMAIN), 2) > converted) {
    d.MessageBox("The payment cannot be less than the balance due.", "Error", MB_OK | MB_ICONSTOP);
    d.KVTSetFieldFocus(IDC_AMOUNT);
    return false;
  }
  KVTsprintf(buf, sizeof buf, TOTAL_FORMAT, converted);
  d.SetFieldVar(IDC_AMOUNT, buf);
  return true;
}

// The customers of a tender: loading and checking the customer, the
// balance notes, comments and the customer panel, the searches.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "payment/custinf.h"
#include "payment/fieldtext.h"
#include "payment/payrules.h"
#include "payment/pos2.h"
#include "payment/pos2a.h"
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

const char kSqlAged[] =
    "SELECT CURRENT,MONTH1,MONTH2,MONTH3,MONTH4,MONTH5,MONTH6,MONTH7,MONTH8,MONTH9,MONTH10,"
    "MONTH11,MONTH12,OVERYEAR FROM KVTAR54 WHERE REFERENCE = ?";

// The customer's balance by age; Failed when it could not be read.
sql::Found ReadAged(const std::string& ref, pay::AgedBalance* b, std::string* error) {
  sql::Result r = sql::Run(kSqlAged, {sql::Text(ref)});
  if (r.found() == sql::Found::Yes)
    for (int i = 0; i < 14; ++i) b->age[i] = r.first().Num(pay::kAgeColumns[i]);
  *error = r.error();
  return r.found();
}

}  // namespace

bool PVpos2Dlg::CustomerEntered() {
  std::string ref = Trimmed(Data.CUSTREF);
  if (ref.empty()) {
    checker_->VerifyRequiredFields();
    return false;
  }
  if (ref[0] == '%' && Feature("21516")) ref = pay::SwipedCustomerRef(ref);
  Put(Data.CUSTREF, ref);
  DoAppToScr(IDC_CUSTREF);
  if (Is(CFG_ALLOWCUSTSEARCH, "T")) {
    const char first = ref[0];
    bool chosen = true;
    if (first == '/')
      chosen = SearchCustRef(ref.c_str() + 1);
    else if (first == '?')
      chosen = SearchCustPhone(ref.c_str() + 1);
    else if (first == '>')
      chosen = SearchCustName(ref.c_str() + 1);
    if (!chosen) {
      SetFieldVar(IDC_CUSTREF, "");
      KVTSetFieldFocus(IDC_CUSTREF);
      return false;
    }
    if (LoadCustomer(Data.CUSTREF)) return true;
    if (customerRefused_) return false;
    if (!SearchCustRef(Data.CUSTREF) || !LoadCustomer(Data.CUSTREF)) {
      if (!customerRefused_) {
        SetFieldVar(IDC_CUSTREF, "");
        KVTSetFieldFocus(IDC_CUSTREF);
      }
      return false;
    }
    return true;
  }
  if (LoadCustomer(Data.CUSTREF)) return true;
  if (customerRefused_) return false;
  MessageBox("Invalid Customer Reference.", "Error", MB_OK | MB_ICONSTOP);
  SetFieldVar(IDC_CUSTREF, "");
  KVTSetFieldFocus(IDC_CUSTREF);
  return false;
}

bool PVpos2Dlg::LoadCustomer(const char* reference) {
  customerRefused_ = false;
  auto refuse = [this] {
    customerRefused_ = true;
    NewPayment();
    FocusFormList();
    return false;
  };
  const std::string wanted = reference ? reference : "";
  sql::Result found =
      !knownCustomerRef_.empty() && wanted == knownCustomerRef_
          ? knownCustomer_
          : sql::Run(
                "SELECT REFERENCE, NAME, TAXEXEMPT FROM KVTAR50 WHERE REFERENCE = ? AND "
                "ISACTIVE = 0",
                {sql::Text(wanted)});
  if (found.found() == sql::Found::Yes) {
    knownCustomerRef_ = wanted;
    knownCustomer_ = found;
  }
  if (found.found() == sql::Found::Failed) {
    KVTShowReadError(Handle(), "The customer", found.error());
    return refuse();
  }
  if (found.found() == sql::Found::No) return false;
  const sql::Row& c = found.first();
  Put(Data.CUSTREF, c["REFERENCE"]);
  DoAppToScr(IDC_CUSTREF);
  PVpos1Dlg* s = Sale();
  const bool poa = PayOnAcct();
  const char form = Form();
  if (poa) {
    sql::Result kind =
        sql::Run("SELECT OPENBALFWD FROM KVTAR51 WHERE REFERENCE = ?", {sql::Text(Data.CUSTREF)});
    if (kind.found() == sql::Found::Failed) {
      KVTShowReadError(Handle(), "The customer's terms", kind.error());
      return refuse();
    }
    if (kind.found() == sql::Found::Yes && kind.first()["OPENBALFWD"] == "O") {
      MessageBox(
          "Payments for this customer cannot be made at the Point of Sale system.  Please enter "
          "payments for this customer through the office system.",
          "Kovatel Software", MB_OK);
      SetFieldVar(IDC_CUSTREF, "");
      return refuse();
    }
  }
  if (!poa && !c["TAXEXEMPT"].empty() && Is(CFG_TAXEXEMPTCUSTNONTAXABLE, "T") && s) {
    if (!taxes_) taxes_ = std::make_unique<KVTPaymentTaxes>(*s, *this);
    taxes_->RemoveAllTaxes();
    DisplayTotals();
    SetFieldText(IDC_TAXNOTE, "(Tax Exempt Customer, all taxes have been removed.)");
  }
  if (TenderDefaultCustomer(form) == Data.CUSTREF) {
    if (!Is(CFG_PROMPTFORCUSTOMER, "ALLSALES")) szCustName[0] = '\0';
    SetFieldVar(IDC_CUSTNAME, c["NAME"].c_str());
  } else {
    SetFieldVar(IDC_CUSTNAME, c["NAME"].c_str());
    if (form == '5') {
      ShowComments(true);
      double first = 0, last = 0;
      sql::Result due = sql::Run("SELECT SHOWDUE FROM KVTPOS10  WHERE RECNO = 1", {});
      if (due.found() == sql::Found::Yes && due.first()["SHOWDUE"] == "T")
        GetCustomerBalance(Data.CUSTREF, &first, &last);
      sql::Result notes =
          sql::Run("SELECT RECNO FROM KVTAR50N WHERE LINK = ?", {sql::Text(Data.CUSTREF)});
      if (notes.found() == sql::Found::Yes) {
        std::unique_ptr<PVDialog> window(KVTNewDialog("PVposntDlg", Handle(), "Customer Notes"));
        if (auto* keyed = dynamic_cast<KVTKeyedScreen*>(window.get()))
          keyed->KVTSetReference(Data.CUSTREF);
        window->Execute();
      }
      if (first > 0) {
        char sqlText[160];
        KVTsprintf(sqlText, sizeof sqlText,
                   "DELETE FROM KVTAR50N WHERE RECNO >= %.0f AND RECNO <= %.0f", first, last);
        sql::Result gone = sql::Run(sqlText, {});
        if (!gone.ok()) KVTShowReadError(Handle(), "The balance notes", gone.error());
      }
      if (checker_->ExceededCreditLimit(Data.CUSTREF, Data.AMTREMAIN)) return refuse();
    }
    UnprotectField(IDC_CUSTNAME);
    const bool custom = Feature("9333");
    if (poa || (custom && form == '5')) {
      if (poa) ShowComments(true);
      if (Is(CFG_ALLOWVIEWCUSTOMERBALANCE, "T")) ShowCustomerInformation(true, Data.CUSTREF);
    }
  }
  if (s) {
    s->szUseDiscCat[0] = '\0';
    s->bUseDisc = false;
  }
  ShowField(IDC_POADISCOUNT, false);
  if (poa && s) {
    sql::Result allow =
        sql::Run("SELECT ALLOWDISC FROM KVTAR51 WHERE REFERENCE = ?", {sql::Text(Data.CUSTREF)});
    if (allow.found() == sql::Found::Yes && allow.first()["ALLOWDISC"] == "1") {
      sql::Result cfg = sql::Run("SELECT POADISC, POADISCCAT FROM KVTPOS10  WHERE RECNO = 1", {});
      if (cfg.found() == sql::Found::Yes) {
        Put(s->szUseDiscCat, cfg.first()["POADISCCAT"]);
        if (cfg.first()["POADISC"] == "T") {
          s->bUseDisc = true;
          ShowTenderField(IDC_POADISCOUNT, "");
        }
      }
    }
  }
  return true;
}

void PVpos2Dlg::GetCustomerBalance(const char* reference, double* firstNote, double* lastNote) {
  *firstNote = *lastNote = 0;
  if (!Feature("9333")) return;
  sql::Result kind = sql::Run("SELECT OPENBALFWD FROM KVTAR51", {});
  if (kind.found() != sql::Found::Yes || kind.first()["OPENBALFWD"] != "B") return;
  pay::AgedBalance b;
  std::string error;
  if (ReadAged(reference, &b, &error) == sql::Found::Failed) {
    KVTShowReadError(Handle(), "The customer's balance", error);
    return;
  }
  for (const std::string& line : pay::BalanceNoteLines(b)) {
    const double recno = NextNum(1, "KVTAR50N", 1);
    sql::Result added = sql::Run(
        "INSERT INTO KVTAR50N (LINK, COMMDATE, COMMENT, RECNO, NUMCHANGE) VALUES (?,?,?,?,'')",
        {sql::Text(reference), sql::Date(CurrentDate()), sql::Text(line), sql::Number(recno)});
    if (recno <= 0 || !added.ok()) {
      KVTShowReadError(Handle(), "The balance notes",
                       added.ok() ? KVTLastSqlError() : added.error());
      return;
    }
    if (*firstNote == 0) *firstNote = recno;
    *lastNote = recno;
  }
}

void PVpos2Dlg::ShowComments(bool show) {
  SetFieldText(IDC_COMMENTS, "");
  SetFieldColors(IDC_COMMENTS, KVT_DEFAULT_COLOR, KVT_DEFAULT_COLOR);
  if (!show || !Is(CFG_SHOWCUSTCOMMENTSONTAB2, "T")) return;
  sql::Result r = sql::Run("SELECT COMMENT FROM KVTAR55 WHERE LINK = ?", {sql::Text(Data.CUSTREF)});
  if (r.found() != sql::Found::Yes) return;
  SetFieldText(IDC_COMMENTS, r.first()["COMMENT"]);
  SetFieldColors(IDC_COMMENTS, KVT_NORMAL_FG, KVT_HIGHLIGHT_BG);
}

void PVpos2Dlg::ShowCustomerInformation(bool show, const char* reference) {
  SetFieldText(IDC_CUSTPANEL, "");
  SetFieldText(IDC_CUSTAMOUNTS, "");
  if (!show) return;
  pay::CustomerInformation c;
  std::string error;
  const sql::Found found = pay::GetCustomerInformation(reference, &c, &error);
  if (found == sql::Found::Failed) KVTShowReadError(Handle(), "The customer", error);
  if (found != sql::Found::Yes) return;
  std::string text = c.name + "\n" + c.address1 + "\n";
  if (!c.address2.empty()) text += c.address2 + "\n";
  text += c.city + ", " + c.state + " " + c.zip + "\n" + c.phone;
  SetFieldText(IDC_CUSTPANEL, text);
  auto money = [](double v) {
    char buf[32];
    KVTsprintf(buf, sizeof buf, TOTAL_FORMAT, v);
    return std::string(buf);
  };
  SetFieldText(IDC_CUSTAMOUNTS, money(c.currentDue) + "\n" + money(c.pastDue) + "\n" +
                                    money(std::atof(c.creditLimit.c_str())) + "\n" +
                                    money(c.balanceDue));
  if (PayOnAcct() && !Feature("9333")) SetFieldVar(IDC_AMOUNT, money(c.balanceDue).c_str());
}

namespace {

bool Search(PVpos2Dlg& d, const char* search, const char* format, const char* start) {
  KVTSearchResult chosen;
  if (!KVTSimpleSearch(d.Handle(), search, format, &chosen, "", "", nullptr, start)) return false;
  sql::Result r =
      sql::Run("SELECT REFERENCE FROM KVTAR50 WHERE RECNO = ?", {sql::Number(chosen.Recno())});
  if (r.found() == sql::Found::Failed) KVTShowReadError(d.Handle(), "The customer", r.error());
  if (r.found() != sql::Found::Yes) return false;
  Put(d.Data.CUSTREF, r.first()["REFERENCE"]);
  d.DoAppToScr(IDC_CUSTREF);
  return true;
}

}  // namespace

bool PVpos2Dlg::SearchCustRef(const char* start) {
  return Search(*this, "CUSTREFSRCH", "CUSTREFFMT", start);
}

bool PVpos2Dlg::SearchCustName(const char* start) {
  return Search(*this, "CUSTNAMESRCH", "CUSTNAMEFMT", start);
}

bool PVpos2Dlg::SearchCustPhone(const char* start) {
  return Search(*this, "CUSTPHONESRCH", "CUSTPHONEFMT", start);
}

// The daily sales review's loader and checks (VIEWDSA).
#include "backoffice/viewdsa.h"

#include <cstring>
#include <string>

#include "backoffice/viewds.h"
#include "platform/base/kvtbase.h"
#include "platform/base/textwidth.h"
#include "platform/sql/kvtsql.h"
#include "shell/globals.h"

namespace sql = kvt::sql;
using S = PVviewdsDlg;

namespace {

template <std::size_t N>
void Put(char (&dest)[N], const std::string& text) {
  KVTCopyText(dest, text);
}

std::string Trimmed(const char* s) {
  std::string t = s;
  std::size_t b = t.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return t.substr(b, t.find_last_not_of(" \t\r\n") - b + 1);
}

const char* const kMoney = "$%.2f";

const int kCardFields[] = {S::IDC_CCTYPE, S::IDC_CCNUM, S::IDC_CCEXPDATE, S::IDC_CCAUTHNUM};

}  // namespace

const std::vector<KVTShownColumn>& ViewdsShownColumns() {
  static const std::vector<KVTShownColumn> columns = {
      {402, "STORE", "Store:", nullptr},
      {403, "TILLREF", "Till:", nullptr},
      {404, "SHIFT", "Shift:", nullptr},
      {405, "SLSMAN", "Salesman:", nullptr},
      {406, "SALEDATE", "Sale Date:", nullptr},
      {407, "SALETIME", "Time:", nullptr},
      {408, "CUSTNAME", "Name:", nullptr},
      {409, "PO", "PO:", nullptr},
      {410, "CHECKNUM", "Check Number:", nullptr},
      {411, "CHECKACCT", "Check Account:", nullptr},
      {412, "NETAMT", "Net Amount:", kMoney},
      {413, "NONTAXAMT", "Non-Taxable:", kMoney},
      {414, "DISCOUNT", "Discount:", kMoney},
      {415, "TAXAMT", "Tax:", kMoney},
      {416, "INVCTOTAL", "Total:", kMoney},
      {417, "AMTPAID", "Amount Paid:", kMoney},
      {418, "CHANGE", "Change:", kMoney},
      {419, "FSCHANGE", "FS Change:", kMoney},
      {422, "CASHAMT", "Cash:", kMoney},
      {423, "CHECKAMT", "Check:", kMoney},
      {S::IDC_CREDITAMT, "CREDITAMT", "Credit Card:", kMoney},
      {424, "CHARGEAMT", "Charge:", kMoney},
      {425, "FDSTMPAMT", "Food Stamps:", kMoney},
      {426, "GFTCRDAMT", "Gift Card:", kMoney},
      {427, "CASHRET", "Cash Return:", kMoney},
      {428, "CHARGERET", "Charge Return:", kMoney},
      {429, "CREDITRET", "Credit Return:", kMoney},
      {434, "CASHPAY", "Cash Payment:", kMoney},
      {435, "CHECKPAY", "Check Payment:", kMoney},
      {S::IDC_CREDITPAY, "CREDITPAY", "Credit Payment:", kMoney},
      {436, "GFTCRDPAY", "Gift Card Pay:", kMoney},
      {430, "FPAMT", "Farm Plan:", kMoney},
      {431, "FPRET", "Farm Plan Ret:", kMoney},
      {432, "FPCASHPAY", "FP Cash Pay:", kMoney},
      {433, "FPCHECKPAY", "FP Check Pay:", kMoney},
      {S::IDC_CANEXCHG, "CANEXCHG", "Exchange Rate:", "$%.4f"},
      {S::IDC_CANAMT, "CANAMT", "Currency Recd:", kMoney},
  };
  return columns;
}

bool VIEWDSA::ConnectView() {
  if (fetch_.OpenConnection(hApplication, screen_->Handle(), 1, "KVTPOS1") &&
      fetch_.SetFetchScript(KVTDailySales::kFetchScript, KVTDailySales::kFetchColumns,
                            KVTDailySales::kFetchOrder, 50))
    return true;
  ReadFailed("The saved sales", fetch_.LastError());
  return false;
}

void VIEWDSA::ReadFailed(const char* what, const std::string& error) {
  std::string text = std::string(what) + " could not be read:\n\n" + error;
  screen_->MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
}

void VIEWDSA::ClearFields() {
  screen_->Data = PVviewdsData{};
  screen_->DoAppToScr();
  for (const KVTShownColumn& c : ViewdsShownColumns()) screen_->SetFieldText(c.id, "");
  for (int id : {S::IDC_TYPETEXT, S::IDC_TRANSFERRED}) screen_->SetFieldText(id, "");
  screen_->Grid(S::IDC_DATATBL1)->ResetData();
  screen_->Grid(S::IDC_DATATBL2)->ResetData();
}

void VIEWDSA::InitForm() {
  ClearFields();
  for (int id : {S::IDC_INVOICENUM, S::IDC_INVDATE, S::IDC_CUSTREF}) screen_->UnprotectField(id);
  screen_->EnableField(S::IDC_CARDGROUP, false);
  for (int id : kCardFields) screen_->EnableField(id, false);
  screen_->EnableField(S::IDC_ACCEPT, false);
  screen_->EnableField(S::IDC_TAXDETAIL, false);
  for (int id : {S::IDC_CANEXCHG, S::IDC_CANAMT}) screen_->ShowField(id, false);
  SetFetchOrder(KVTDailySales::kFetchOrder);
  fetch_.Reset();
  screen_->SetChanged(false);
}

bool VIEWDSA::LoadData(double recno) {
  ClearFields();
  for (int id : {S::IDC_INVOICENUM, S::IDC_INVDATE, S::IDC_CUSTREF}) screen_->ProtectField(id);
  bool ok = LoadKVTPOS1(recno) && LoadKVTPOS2() && LoadKVTPOS3();
  EnableKVTPOS1();
  screen_->SetChanged(false);
  screen_->KVTSetFieldFocus(S::IDC_NEXT);
  return ok;
}

bool VIEWDSA::LoadKVTPOS1(double recno) {
  sql::Result r = KVTDailySales::Header(recno);
  if (r.found() != sql::Found::Yes) {
    ReadFailed("The sale", r.ok() ? "It is no longer there." : r.error());
    return false;
  }
  const sql::Row& row = r.first();
  PVviewdsData& d = screen_->Data;
  Put(d.INVOICENUM, row["INVOICENUM"]);
  Put(d.INVDATE, row["INVDATE"]);
  Put(d.CUSTREF, row["CUSTREF"]);
  Put(d.CCTYPE, row["CCTYPE"]);
  Put(d.CCNUM, row["CCNUMBER"]);
  Put(d.CCAUTHNUM, row["CCAUTHNUM"]);
  const std::string& expiry = row["CCEXPDATE"];  // MM/DD/YYYY
  Put(d.CCDATE, expiry);
  Put(d.CCEXPDATE, expiry.size() == 10 ? expiry.substr(0, 2) + expiry.substr(8, 2) : "");
  d.RECNO = recno;
  Put(d.LINK, row["INVOICELNK"]);
  Put(d.FPACCNUM, row["FPACCNUM"]);
  Put(d.FPAUTHNUM, row["FPAUTHNUM"]);
  sql::Result location = KVTDailySales::StoreLocation(row["STORE"]);
  if (!location.ok()) ReadFailed("The store's inventory location", location.error());
  if (location.found() == sql::Found::Yes) Put(d.LOCATION, location.first()["LOCATION"]);
  screen_->DoAppToScr();
  screen_->SetFieldText(S::IDC_TYPETEXT, KVTDailySales::TypeText(row["TRANSTYPE"], row["STATUS"]));
  screen_->SetFieldText(S::IDC_TRANSFERRED, Trimmed(row["TRANSNUM"].c_str()).empty()
                                                ? "NOT TRANSFERRED"
                                                : "TRANSFERRED");
  for (const KVTShownColumn& c : ViewdsShownColumns())
    screen_->SetFieldText(c.id,
                          c.format ? KVTDailySales::Money(row[c.column], c.format) : row[c.column]);
  return true;
}

bool VIEWDSA::LoadKVTPOS2() {
  sql::Result r = KVTDailySales::Lines(screen_->Data.LINK);
  if (!r.ok()) {
    ReadFailed("The sale's lines", r.error());
    return false;
  }
  TDataTbl* grid = screen_->Grid(S::IDC_DATATBL1);
  static const char* const columns[] = {
      "INVREF",     "TILLCODE",  "CATEGORY", "INVLOC",     "DESCR",      "SERIALNUM",
      "QTYORDERED", "COST",      "PRICE",    "DISCOUNT",   "ENTRYTOTAL", "FOODSTAMPS",
      "TAXABLE",    "NUMCHANGE", "RECNO",    "INVOICENUM", "INVOICELNK"};
  for (const sql::Row& row : r.rows()) {
    grid->InsertRow();
    int col = 0;
    for (const char* c : columns) {
      std::string value = row[c];
      if (std::strcmp(c, "FOODSTAMPS") == 0 || std::strcmp(c, "TAXABLE") == 0)
        value = value == "1" ? "Y" : "N";
      grid->UpdateCell(col++, value);
    }
  }
  return true;
}

bool VIEWDSA::LoadKVTPOS3() {
  sql::Result r = KVTDailySales::Taxes(screen_->Data.LINK);
  if (!r.ok()) {
    ReadFailed("The sale's taxes", r.error());
    return false;
  }
  TDataTbl* grid = screen_->Grid(S::IDC_DATATBL2);
  for (const sql::Row& row : r.rows()) {
    grid->InsertRow();
    grid->UpdateCell(0, row["TAXCODE"]);
    grid->UpdateCell(1, row["TAXRATE"]);
    grid->UpdateCell(2, row["TAXAMT"]);
  }
  return true;
}

KVTCardPrompts VIEWDSA::Prompts() const {
  const S& s = *screen_;
  return KVTDailySales::PromptsFor(s.GetFieldText(S::IDC_TYPETEXT),
                                   s.GetFieldText(S::IDC_CREDITAMT),
                                   s.GetFieldText(S::IDC_CREDITPAY),
                                   {s.bPRMPTCCTYP, s.bPRMPTCCNUM, s.bPRMPTCCEXP, s.bPRMPTCCATH},
                                   {s.bPOACCTYP, s.bPOACCNUM, s.bPOACCEXP, s.bPOACCATH});
}

void VIEWDSA::EnableKVTPOS1() {
  S& s = *screen_;
  KVTSaleEnable e =
      KVTDailySales::Enablement(s.GetFieldText(S::IDC_TYPETEXT), s.GetFieldText(S::IDC_CREDITAMT),
                                s.GetFieldText(S::IDC_CREDITPAY), s.GetFieldText(S::IDC_CANEXCHG),
                                s.GetFieldText(S::IDC_CANAMT), s.bRunningPOS,
                                {s.bPRMPTCCTYP, s.bPRMPTCCNUM, s.bPRMPTCCEXP, s.bPRMPTCCATH},
                                {s.bPOACCTYP, s.bPOACCNUM, s.bPOACCEXP, s.bPOACCATH});
  s.EnableField(S::IDC_CARDGROUP, e.cardGroup);
  for (int id : kCardFields) s.EnableField(id, e.cardGroup);
  s.EnableField(S::IDC_ACCEPT, e.cardGroup);
  for (int id : {S::IDC_CANEXCHG, S::IDC_CANAMT}) s.ShowField(id, e.canadian);
  s.EnableField(S::IDC_TAXDETAIL, e.taxDetail);
}

int VIEWDSA::Refuse(int id, const char* message, const char* caption, UINT icon) {
  screen_->MessageBox(message, caption, MB_OK | icon);
  screen_->KVTSetFieldFocus(id);
  return 1;
}

int VIEWDSA::CheckCardType(bool search) {
  PVviewdsData& d = screen_->Data;
  Put(d.CCTYPE, Trimmed(d.CCTYPE));
  if (!d.CCTYPE[0]) return Refuse(S::IDC_CCTYPE, "Credit Card is required.");
  sql::Result r = KVTDailySales::CardType(d.CCTYPE, d.LOCATION);
  if (r.found() == sql::Found::Failed) {
    ReadFailed("The credit card types", r.error());
    screen_->KVTSetFieldFocus(S::IDC_CCTYPE);
    return 1;
  }
  if (r.found() == sql::Found::Yes) return 0;
  if (!search) return Refuse(S::IDC_CCTYPE, "Invalid Credit Card.");
  SearchCCardType();
  if (!d.CCTYPE[0]) {
    screen_->KVTSetFieldFocus(S::IDC_CCTYPE);
    return 1;
  }
  return 0;
}

void VIEWDSA::SearchCCardType() {
  PVviewdsData& d = screen_->Data;
  std::string filter =
      " WHERE (LOCATION = '" + KVTSqlQuote(d.LOCATION) + "' OR LOCATION = '' OR LOCATION IS NULL)";
  KVTSearchResult chosen;
  if (KVTSimpleSearch(screen_->Handle(), "CCTYPESRCH", "CCTYPEFMT", &chosen, filter.c_str()))
    Put(d.CCTYPE, chosen.Value(0));
  else
    d.CCTYPE[0] = '\0';
  screen_->DoAppToScr(S::IDC_CCTYPE);
  screen_->SetChanged(true);
}

int VIEWDSA::CheckExpiry(bool keepFocus) {
  PVviewdsData& d = screen_->Data;
  KVTCardExpiry r = KVTDailySales::CheckExpiry(Trimmed(d.CCEXPDATE), CurrentDate());
  if (r.ok) {
    Put(d.CCDATE, r.date.substr(0, 2) + "/" + r.date.substr(2, 2) + "/" + r.date.substr(4));
    screen_->DoAppToScr(S::IDC_CCDATE);
    return 0;
  }
  screen_->MessageBox(r.message.c_str(), "Point of Sale",
                      MB_OK | (r.formatRule ? MB_ICONINFORMATION : MB_ICONSTOP));
  d.CCEXPDATE[0] = '\0';
  screen_->DoAppToScr(S::IDC_CCEXPDATE);
  if (keepFocus) screen_->KVTSetFieldFocus(S::IDC_CCEXPDATE);
  return 1;
}

int VIEWDSA::VerifyFields(int id) {
  if (!screen_->LastMessageWasKey()) return 0;
  PVviewdsData& d = screen_->Data;
  switch (id) {
    case S::IDC_INVOICENUM: {
      Put(d.INVOICENUM, Trimmed(d.INVOICENUM));
      if (!d.INVOICENUM[0]) return 0;
      int shown = VerifyInvoiceNum(d.INVOICENUM);
      if (shown == 0) screen_->Cmidc_find();
      return 1;
    }
    case S::IDC_INVDATE:
    case S::IDC_CUSTREF:
      if (!Trimmed(id == S::IDC_INVDATE ? d.INVDATE : d.CUSTREF).empty()) {
        screen_->Cmidc_find();
        return 1;
      }
      return 0;
    case S::IDC_CCTYPE:
      return CheckCardType(true);
    case S::IDC_CCNUM:
      if (Trimmed(d.CCNUM).empty()) return Refuse(id, "Credit Card Number is required.");
      return 0;
    case S::IDC_CCEXPDATE:
      return CheckExpiry(true);
    case S::IDC_CCAUTHNUM:
      if (Trimmed(d.CCAUTHNUM).empty())
        return Refuse(id, "Credit Card Authorization Number is required.");
      return 0;
    default:
      return 0;
  }
}

int VIEWDSA::VerifyRequiredFields() {
  KVTCardPrompts p = Prompts();
  PVviewdsData& d = screen_->Data;
  if (p.type && CheckCardType(false)) return 0;
  if (p.number && Trimmed(d.CCNUM).empty()) {
    Refuse(S::IDC_CCNUM, "Credit Card Number is required.");
    return 0;
  }
  if (p.expiry && CheckExpiry(true)) return 0;
  if (p.auth && Trimmed(d.CCAUTHNUM).empty()) {
    Refuse(S::IDC_CCAUTHNUM, "Credit Card Authorization Number is required.");
    return 0;
  }
  return 1;
}

bool VIEWDSA::SaveInfo() {
  screen_->DoScrToApp();
  if (!VerifyRequiredFields()) return false;
  const PVviewdsData& d = screen_->Data;
  std::string error;
  if (!KVTDailySales::SaveCard(d.RECNO, Trimmed(d.CCTYPE), Trimmed(d.CCNUM), d.CCDATE,
                               Trimmed(d.CCAUTHNUM), &error)) {
    std::string text = "The credit card data could not be saved:\n\n" + error;
    screen_->MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return false;
  }
  screen_->SetChanged(false);
  return true;
}

int VIEWDSA::VerifyInvoiceNum(const char* number) {
  sql::Result r = KVTDailySales::FindByNumber(number);
  if (r.found() == sql::Found::Failed) {
    ReadFailed("The saved sales", r.error());
    return -1;
  }
  if (r.found() == sql::Found::No) return 0;
  double recno = r.first().Num("RECNO");
  fetch_.FindRecNo(recno);
  return LoadData(recno) ? 1 : -1;
}

void VIEWDSA::SetFetchOrder(const char* keyColumns) {
  fetch_.SetFetchOrder(keyColumns);
}

bool VIEWDSA::Step(bool forward) {
  bool moved = forward ? fetch_.NextRecord() : fetch_.PreviousRecord();
  if (!moved) {
    const char* error = fetch_.LastError();
    if (error && *error)
      ReadFailed("The saved sales", error);
    else
      MessageBeep();
    return false;
  }
  return LoadData(fetch_.RecNo());
}

bool VIEWDSA::Find() {
  int focus = screen_->GetFocusField();
  std::string start = Trimmed(screen_->GetFieldText(focus).c_str());
  std::string filter = KVTDailySales::FindFilter(screen_->bRunningPOS);
  KVTSearchResult chosen;
  if (!KVTSimpleSearch(screen_->Handle(), "POS1SRCH", "POS1FMT", &chosen, filter.c_str(),
                       KVTDailySales::FindOrder(focus == S::IDC_INVDATE), "Find Sale",
                       start.c_str()))
    return false;
  double recno = chosen.Recno();
  SetFetchOrder(focus == S::IDC_INVDATE   ? "INVDATE"
                : focus == S::IDC_CUSTREF ? "CUSTREF"
                                          : KVTDailySales::kFetchOrder);
  if (!fetch_.FindRecNo(recno)) {
    const char* error = fetch_.LastError();
    ReadFailed("The chosen sale", error && *error ? error : "It is no longer there.");
    return false;
  }
  return LoadData(recno);
}

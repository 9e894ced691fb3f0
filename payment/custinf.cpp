// The customer balance window and the customer look-up it shares.
#include "payment/custinf.h"

#include <cstdlib>
#include <cstring>

#include "payment/payrules.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/kvtsql.h"
#include "shell/dbutil.h"
#include "shell/globals.h"

namespace sql = kvt::sql;

namespace kvt::payment {

sql::Found GetCustomerInformation(const std::string& reference, CustomerInformation* info,
                                  std::string* error) {
  sql::Result c = sql::Run(
      "SELECT KVTAR50.NAME,KVTAR50.ADDRESS1,KVTAR50.ADDRESS2,KVTAR50.CITY,KVTAR50.STATE,"
      "KVTAR50.ZIPCODE,KVTAR51.CREDITLMT,KVTAR50.RECNO FROM KVTAR50,KVTAR51 WHERE "
      "KVTAR50.REFERENCE = ? AND KVTAR50.REFERENCE=KVTAR51.REFERENCE",
      {sql::Text(reference)});
  *error = c.error();
  if (c.found() != sql::Found::Yes) return c.found();
  const sql::Row& r = c.first();
  info->name = r["NAME"], info->address1 = r["ADDRESS1"], info->address2 = r["ADDRESS2"];
  info->city = r["CITY"], info->state = r["STATE"], info->zip = r["ZIPCODE"];
  info->creditLimit = r["CREDITLMT"];
  char recno[32];
  KVTsprintf(recno, sizeof recno, "%.0f", r.Num("RECNO"));
  info->recno = recno;
  sql::Result phone =
      sql::Run("SELECT TELEPHONE,RECNO FROM KVTAR57 WHERE CUSTLINK=?", {sql::Text(recno)});
  if (!phone.ok()) {
    *error = phone.error();
    return sql::Found::Failed;
  }
  info->phone = info->phoneRecno = "";
  if (phone.found() == sql::Found::Yes) {
    info->phone = phone.first()["TELEPHONE"];
    KVTsprintf(recno, sizeof recno, "%.0f", phone.first().Num("RECNO"));
    info->phoneRecno = recno;
  }
  sql::Result aged = sql::Run(
      "SELECT CURRENT,MONTH1,MONTH2,MONTH3,MONTH4,MONTH5,MONTH6,MONTH7,MONTH8,MONTH9,MONTH10,"
      "MONTH11,MONTH12,OVERYEAR FROM KVTAR54 WHERE REFERENCE = ?",
      {sql::Text(reference)});
  if (!aged.ok()) {
    *error = aged.error();
    return sql::Found::Failed;
  }
  AgedBalance b;
  if (aged.found() == sql::Found::Yes)
    for (int i = 0; i < 14; ++i) b.age[i] = aged.first().Num(kAgeColumns[i]);
  info->currentDue = KVTRound(b.Current(), 2);
  info->pastDue = b.PastDue();
  info->balanceDue = b.Balance();
  return sql::Found::Yes;
}

}  // namespace kvt::payment

namespace {

KVTFormDecl MakeForm() {
  KVTFormDecl f("PVcustinfDlg", "Customer Balance", 64, 16);
  f.Edit(PVcustinfDlg::IDC_CUSTREF, "Reference : ", 16, 1, 10, KVT_BIND(PVcustinfData, CUSTREF));
  f.Edit(PVcustinfDlg::IDC_CUSTNAME, "Name : ", 16, 2, 35, KVT_BIND(PVcustinfData, CUSTNAME));
  f.Edit(PVcustinfDlg::IDC_CUSTPHONE, "Phone : ", 16, 3, 15, KVT_BIND(PVcustinfData, CUSTPHONE));
  const std::pair<int, const char*> amounts[] = {{PVcustinfDlg::IDC_CURRDUE, "Current Due : "},
                                                 {PVcustinfDlg::IDC_PASTDUE, "Past Due : "},
                                                 {PVcustinfDlg::IDC_CREDITLMT, "Credit Limit : "},
                                                 {PVcustinfDlg::IDC_BALDUE, "Balance Due : "}};
  const KVTBufferRef refs[] = {KVT_BIND(PVcustinfData, CURRDUE), KVT_BIND(PVcustinfData, PASTDUE),
                               KVT_BIND(PVcustinfData, CREDITLMT), KVT_BIND(PVcustinfData, BALDUE)};
  for (int i = 0; i < 4; ++i)
    f.Edit(amounts[i].first, amounts[i].second, 16, 5 + i, 12, refs[i]).Protected().NoTabStop();
  f.Edit(PVcustinfDlg::IDC_RECNO, "", 0, 10, 10, KVT_BIND(PVcustinfData, RECNO))
      .Hidden()
      .NoTabStop();
  f.Help(0, "Search for Customer by Reference, Name or Phone.", 2, 11, 55);
  f.Help(0, "ESC - Exit", 2, 12, 30);
  f.Help(0, "Press <ENTER> to continue.", 2, 13, 30);
  f.Help(0, "F8 - Payment on Account", 2, 14, 30);
  return f;
}

std::string Money(double v) {
  char buf[32];
  KVTsprintf(buf, sizeof buf, TOTAL_FORMAT, v);
  return buf;
}

}  // namespace

const KVTFormDecl& PVcustinfDlg::FormDecl() {
  static const KVTFormDecl form = MakeForm();
  return form;
}

PVcustinfDlg::PVcustinfDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  SetFieldChecker(this);
}

void PVcustinfDlg::KVTSetReference(const char* key) {
  start_ = key ? key : "";
}

void PVcustinfDlg::SetupWindow() {
  if (!start_.empty()) ShowCustomer(start_);
  KVTSetFieldFocus(IDC_CUSTREF);
}

bool PVcustinfDlg::ShowCustomer(const std::string& reference) {
  kvt::payment::CustomerInformation info;
  std::string error;
  sql::Found found = kvt::payment::GetCustomerInformation(reference, &info, &error);
  if (found == sql::Found::Failed) KVTShowReadError(Handle(), "The customer", error);
  if (found != sql::Found::Yes) return false;
  shown_ = reference;
  SetFieldVar(IDC_CUSTREF, reference.c_str());
  SetFieldVar(IDC_CUSTNAME, info.name.c_str());
  SetFieldVar(IDC_CUSTPHONE, info.phone.c_str());
  SetFieldVar(IDC_CURRDUE, Money(info.currentDue).c_str());
  SetFieldVar(IDC_PASTDUE, Money(info.pastDue).c_str());
  SetFieldVar(IDC_CREDITLMT, info.creditLimit.c_str());
  SetFieldVar(IDC_BALDUE, Money(info.balanceDue).c_str());
  SetFieldVar(IDC_RECNO, info.recno.c_str());
  phoneRecno_ = info.phoneRecno;
  return true;
}

int PVcustinfDlg::VerifyFields(int fieldId) {
  struct Lookup {
    int field;
    const char* count;
    const char* find;
  } lookups[] = {
      {IDC_CUSTREF, "SELECT COUNT(1) AS N FROM KVTAR50 WHERE REFERENCE = ? AND ISACTIVE = 0",
       "SELECT REFERENCE FROM KVTAR50 WHERE REFERENCE = ? AND ISACTIVE = 0"},
      {IDC_CUSTNAME, "SELECT COUNT(1) AS N FROM KVTAR50 WHERE NAME = ? AND ISACTIVE = 0",
       "SELECT REFERENCE FROM KVTAR50 WHERE NAME = ? AND ISACTIVE = 0"},
      {IDC_CUSTPHONE,
       "SELECT COUNT(1) AS N FROM KVTAR57,KVTAR50 WHERE TELEPHONE = ? AND NUMVAL(KVTAR57.CUSTLINK) "
       "= KVTAR50.RECNO AND KVTAR50.ISACTIVE = 0",
       "SELECT REFERENCE FROM KVTAR57,KVTAR50 WHERE TELEPHONE = ? AND NUMVAL(KVTAR57.CUSTLINK) = "
       "KVTAR50.RECNO AND KVTAR50.ISACTIVE = 0"},
  };
  for (const Lookup& l : lookups) {
    if (l.field != fieldId) continue;
    const std::string typed = GetFieldText(fieldId);
    sql::Result count = sql::Run(l.count, {sql::Text(typed)});
    if (!count.ok()) KVTShowReadError(Handle(), "The customers", count.error());
    if (count.found() == sql::Found::Yes && count.first().Num("N") == 1) {
      sql::Result one = sql::Run(l.find, {sql::Text(typed)});
      if (one.found() == sql::Found::Yes && ShowCustomer(one.first()["REFERENCE"])) return 0;
    }
    // None or several: the window stays as it was.
    if (shown_.empty() || !ShowCustomer(shown_))
      for (int id : {IDC_CUSTREF, IDC_CUSTNAME, IDC_CUSTPHONE}) SetFieldVar(id, "");
    return 0;
  }
  return 0;
}

namespace {

// Stepping by phone: phones padded with blanks to 15 characters, ties by
// the phone's record number; customers without a phone by reference.
std::string PhoneStep(bool forward, const std::string& phone, const std::string& phoneRecno,
                      const std::string& reference) {
  const std::string head =
      "SELECT KVTAR50.REFERENCE,STR(KVTAR50.RECNO),KVTAR57.TELEPHONE,KVTAR57.RECNO FROM KVTAR50 "
      "LEFT OUTER JOIN KVTAR57 ON KVTAR50.RECNO = NUMVAL(KVTAR57.CUSTLINK) WHERE ";
  const std::string pad = " + '               ',15)";
  const std::string p = "'" + KVTSqlQuote(phone.c_str()) + "'";
  const std::string ref = "'" + KVTSqlQuote(reference.c_str()) + "'";
  if (phone.empty())
    return head + (forward
                       ? "(((KVTAR57.TELEPHONE = '' OR KVTAR57.TELEPHONE = NULL) AND "
                         "KVTAR50.REFERENCE > " +
                             ref +
                             ") OR KVTAR57.TELEPHONE > '') AND KVTAR50.ISACTIVE = 0 ORDER BY "
                             "KVTAR57.TELEPHONE, KVTAR57.RECNO, KVTAR50.REFERENCE"
                       : "((KVTAR57.TELEPHONE = '' OR KVTAR57.TELEPHONE = NULL) AND "
                         "KVTAR50.REFERENCE < " +
                             ref + ") AND KVTAR50.ISACTIVE = 0 ORDER BY  KVTAR50.REFERENCE DESC");
  const char* cmp = forward ? ">" : "<";
  const std::string recno = phoneRecno.empty() ? "0" : phoneRecno;
  return head + "((LEFT(KVTAR57.TELEPHONE" + pad + " = LEFT(" + p + pad + " AND KVTAR57.RECNO " +
         cmp + " " + recno + ") OR (LEFT(KVTAR57.TELEPHONE" + pad + " " + cmp + " LEFT(" + p + pad +
         ")) AND KVTAR50.ISACTIVE = 0 ORDER BY " +
         (forward ? "KVTAR57.TELEPHONE, KVTAR57.RECNO"
                  : "KVTAR57.TELEPHONE DESC, KVTAR50.REFERENCE DESC, KVTAR57.RECNO DESC");
}

}  // namespace

bool PVcustinfDlg::Step(int field, bool forward) {
  if (shown_.empty()) return false;
  sql::Result r;
  if (field == IDC_CUSTPHONE) {
    r = sql::Run(PhoneStep(forward, Data.CUSTPHONE, phoneRecno_, shown_), {});
  } else if (field == IDC_CUSTNAME) {
    const std::string name = Data.CUSTNAME, recno = Data.RECNO;
    r = sql::Run(forward ? "SELECT REFERENCE FROM KVTAR50 WHERE ((NAME = ? AND RECNO > ?) OR "
                           "(NAME > ?)) AND ISACTIVE = 0 ORDER BY NAME,RECNO"
                         : "SELECT REFERENCE FROM KVTAR50 WHERE ((NAME = ? AND RECNO < ?) OR "
                           "(NAME < ?)) AND ISACTIVE = 0 ORDER BY NAME DESC,RECNO DESC",
                 {sql::Text(name), sql::Number(recno), sql::Text(name)});
  } else {
    r = sql::Run(forward ? "SELECT REFERENCE FROM KVTAR50 WHERE REFERENCE > ? AND ISACTIVE = 0 "
                           "ORDER BY REFERENCE"
                         : "SELECT REFERENCE FROM KVTAR50 WHERE REFERENCE < ? AND ISACTIVE = 0 "
                           "ORDER BY REFERENCE DESC",
                 {sql::Text(shown_)});
  }
  if (!r.ok()) KVTShowReadError(Handle(), "The customers", r.error());
  return r.found() == sql::Found::Yes && ShowCustomer(r.first()["REFERENCE"]);
}

bool PVcustinfDlg::PreProcessMsg(MSG& msg) {
  if (msg.message == WM_KEYDOWN) {
    const UINT vk = static_cast<UINT>(msg.wParam);
    if (vk == VK_PRIOR || vk == VK_NEXT) {
      Step(GetFocusField(), vk == VK_NEXT);
      return true;
    }
    if (vk == VK_F8 && !shown_.empty()) {
      CloseWindow(kPayOnAccount);
      return true;
    }
  }
  return PVDialog::PreProcessMsg(msg);
}

KVT_REGISTER_SCREEN(PVcustinfDlg);

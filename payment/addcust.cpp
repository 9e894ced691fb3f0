// The add-customer window, the new customer's rows and the next automatic
// customer number.
#include "payment/addcust.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "payment/fieldtext.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "shell/dbutil.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace sql = kvt::sql;

namespace kvt::payment {

namespace {

using kvt::payment::Trimmed;

// A counter read that keeps failing or a run of numbers all in use ends
// here, told to the cashier, rather than spinning.
constexpr int kMaxTries = 50;

}  // namespace

std::string GetNextCustRef(std::string* error) {
  for (int tries = 0; tries < kMaxTries; ++tries) {
    sql::Result next = sql::Run("SELECT NEXTCNUM FROM KVTAR10", {});
    if (next.found() != sql::Found::Yes) {
      *error = next.ok() ? "KVTAR10 has no row." : next.error();
      continue;
    }
    const std::string old = Trimmed(next.first()["NEXTCNUM"].c_str());
    const std::string ref = old.empty() ? "1" : old;
    char following[32];
    KVTsprintf(following, sizeof following, "%li", std::atol(ref.c_str()) + 1);
    sql::Result moved =
        old.empty() ? sql::Run(
                          "UPDATE KVTAR10 SET NEXTCNUM ='2' WHERE NEXTCNUM='' OR NEXTCNUM IS "
                          "NULL",
                          {})
                    : sql::Run("UPDATE KVTAR10 SET NEXTCNUM =? WHERE NEXTCNUM=?",
                               {sql::Text(following), sql::Text(old)});
    if (!moved.ok()) {
      *error = moved.error();
      return "";
    }
    if (moved.changed() == 0) continue;  // another till took it first
    sql::Result used =
        sql::Run("SELECT REFERENCE FROM KVTAR50 WHERE REFERENCE = ?", {sql::Text(ref)});
    if (used.found() == sql::Found::Failed) {
      *error = used.error();
      return "";
    }
    if (used.found() == sql::Found::No) return ref;
    *error = "every customer number tried is in use";
  }
  return "";
}

bool SaveCustomer(PVaddcustData& d, bool balanceForward, std::string* message) {
  sql::Transaction unit;
  if (!unit.ok()) {
    *message = "The customer has not been saved!\n\n" + unit.error();
    return false;
  }
  std::string ref = Trimmed(d.REF);
  if (ref == "Auto") {
    std::string error;
    ref = GetNextCustRef(&error);
    if (ref.empty()) {
      *message =
          "The next customer number could not be had.\nThis customer has not been "
          "saved!\n\n" +
          error;
      return false;
    }
  }
  const std::string today = CurrentDate();
  std::string customerRecno;
  auto insert = [&](const char* table, const char* statement, std::vector<sql::Value> values) {
    const double recno = NextNum(1, table, 1);
    std::string error = KVTLastSqlError();
    if (recno > 0) {
      char text[32];
      KVTsprintf(text, sizeof text, "%.0f", recno);
      if (customerRecno.empty()) customerRecno = text;
      values.push_back(sql::Number(text));
      sql::Result r = sql::Run(statement, values);
      if (r.ok()) return true;
      error = r.error();
    }
    *message = std::string("Error occurred inserting ") + table +
               " record.\nThis customer has not been saved!\n\n" + error;
    return false;
  };
  const bool saved =
      insert("KVTAR50",
             "INSERT INTO KVTAR50 (REFERENCE,NAME,ADDRESS1,ADDRESS2,CITY,STATE,ZIPCODE,ISACTIVE,"
             "ACCTDATE,LMODDATE,RECNO) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
             {sql::Text(ref), sql::Text(d.NAME), sql::Text(d.ADDR1), sql::Text(d.ADDR2),
              sql::Text(d.CITY), sql::Text(d.STATE), sql::Text(d.ZIP), sql::Number("0"),
              sql::Date(today), sql::Date(today)}) &&
      insert("KVTAR51",
             "INSERT INTO KVTAR51 (REFERENCE,ALLOWDISC,OPENBALFWD,NOSERCHG,RECNO) VALUES "
             "(?,?,?,?,?)",
             {sql::Text(ref), sql::Number("1"), sql::Text(balanceForward ? "B" : "O"),
              sql::Number("0")}) &&
      insert("KVTAR52", "INSERT INTO KVTAR52 (REFERENCE,FUELTYPE,RECNO) VALUES (?,?,?)",
             {sql::Text(ref), sql::Text("ALL")}) &&
      insert("KVTAR53", "INSERT INTO KVTAR53 (REFERENCE,RECNO) VALUES (?,?)", {sql::Text(ref)}) &&
      insert("KVTAR54", "INSERT INTO KVTAR54 (REFERENCE,RECNO) VALUES (?,?)", {sql::Text(ref)}) &&
      insert("KVTAR56",
             "INSERT INTO KVTAR56 (REFERENCE,YEAR,MONTH1,MONTH2,MONTH3,MONTH4,MONTH5,MONTH6,"
             "MONTH7,MONTH8,MONTH9,MONTH10,MONTH11,MONTH12,RECNO) VALUES "
             "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
             {sql::Text(ref), sql::Text("CURR"), sql::Text("0"), sql::Text("0"), sql::Text("0"),
              sql::Text("0"), sql::Text("0"), sql::Text("0"), sql::Text("0"), sql::Text("0"),
              sql::Text("0"), sql::Text("0"), sql::Text("0"), sql::Text("0")}) &&
      insert("KVTAR57", "INSERT INTO KVTAR57 (CUSTLINK,TELEPHONE,RECNO) VALUES (?,?,?)",
             {sql::Text(customerRecno), sql::Text(d.PHONE)});
  if (!saved) return false;
  if (!unit.Commit()) {
    *message = "The customer has not been saved!\n\n" + unit.error();
    return false;
  }
  KVTsprintf(d.REF, sizeof d.REF, "%s", ref.c_str());
  return true;
}

}  // namespace kvt::payment

namespace {

KVTFormDecl MakeForm() {
  KVTFormDecl f("PVaddcustDlg", "Add Customer", 60, 14);
  f.Edit(PVaddcustDlg::IDC_REF, "Reference : ", 14, 1, 10, KVT_BIND(PVaddcustData, REF));
  f.Edit(PVaddcustDlg::IDC_NAME, "Name : ", 14, 2, 35, KVT_BIND(PVaddcustData, NAME));
  f.Edit(PVaddcustDlg::IDC_ADDR1, "Address : ", 14, 3, 30, KVT_BIND(PVaddcustData, ADDR1));
  f.Edit(PVaddcustDlg::IDC_ADDR2, "", 14, 4, 30, KVT_BIND(PVaddcustData, ADDR2));
  f.Edit(PVaddcustDlg::IDC_CITY, "City : ", 14, 5, 30, KVT_BIND(PVaddcustData, CITY));
  f.Edit(PVaddcustDlg::IDC_STATE, "State : ", 14, 6, 3, KVT_BIND(PVaddcustData, STATE));
  f.Edit(PVaddcustDlg::IDC_ZIP, "Zip Code : ", 14, 7, 10, KVT_BIND(PVaddcustData, ZIP));
  f.Edit(PVaddcustDlg::IDC_PHONE, "Phone : ", 14, 8, 30, KVT_BIND(PVaddcustData, PHONE));
  f.Button(IDOK, "&OK", 16, 11);
  f.Button(IDCANCEL, "&Cancel", 28, 11);
  return f;
}

std::string Trim(const char* s) {
  char buf[64];
  KVTsprintf(buf, sizeof buf, "%s", s);
  return TRIM(buf);
}

}  // namespace

const KVTFormDecl& PVaddcustDlg::FormDecl() {
  static const KVTFormDecl form = MakeForm();
  return form;
}

PVaddcustDlg::PVaddcustDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  SetFieldChecker(this);
}

int PVaddcustDlg::VerifyRequiredFields() {
  auto refuse = [this](const char* text, int id) {
    MessageBox(text, "Error", MB_OK | MB_ICONSTOP);
    KVTSetFieldFocus(id);
    return 0;
  };
  const std::string ref = Trim(Data.REF);
  if (ref.empty()) return refuse("Reference required.", IDC_REF);
  if (ref != "Auto") {
    sql::Result used =
        sql::Run("SELECT REFERENCE FROM KVTAR50 WHERE REFERENCE = ?", {sql::Text(ref)});
    if (used.found() == sql::Found::Failed) {
      KVTShowReadError(Handle(), "The customers", used.error());
      KVTSetFieldFocus(IDC_REF);
      return 0;
    }
    if (used.found() == sql::Found::Yes)
      return refuse("Invalid customer reference, already in use.", IDC_REF);
  }
  const std::pair<const char*, int> required[] = {
      {"Name required.", IDC_NAME},    {"Address required.", IDC_ADDR1},
      {"City required.", IDC_CITY},    {"State required.", IDC_STATE},
      {"Zip Code required.", IDC_ZIP}, {"Phone Number required.", IDC_PHONE}};
  const char* values[] = {Data.NAME, Data.ADDR1, Data.CITY, Data.STATE, Data.ZIP, Data.PHONE};
  for (int i = 0; i < 6; ++i)
    if (Trim(values[i]).empty()) return refuse(required[i].first, required[i].second);
  return 1;
}

void PVaddcustDlg::CmOk() {
  DoScrToApp();
  if (!VerifyRequiredFields()) return;
  std::string message;
  if (!kvt::payment::SaveCustomer(Data, std::strcmp(CFG_DEFAULTBALANCEFORWARD, "1") == 0,
                                  &message)) {
    MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return;
  }
  CloseWindow(IDOK);
}

KVT_REGISTER_SCREEN(PVaddcustDlg);

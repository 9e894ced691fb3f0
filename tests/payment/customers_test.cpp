// Customers at the till: the customer balance window's look-ups and steps,
// adding a customer (its checks, the automatic number, all rows or none).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "payment/addcust.h"
#include "payment/custinf.h"
#include "platform/base/kvtbase.h"
#include "tests/support/till.h"

namespace {

using kvt::test::Strings;

class Customers : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(KVTSetToday("06/15/2026"));
    // clang-format off
    struct C { const char *recno, *ref, *name, *inactive, *phone, *current, *month1; } rows[] = {
        {"11", "1001", "Miller, Alan", "0", "620-555-1001", "40.00", "10.00"},
        {"12", "1002", "Gone, Away", "1", "620-555-1002", "", ""},
        {"13", "1003", "Koehn Farms", "0", "", "", ""},
        {"14", "1004", "Twin", "0", "620-555-1004", "", ""},
        {"15", "1005", "Twin", "0", "620-555-1004", "", ""}};
    // clang-format on
    for (const C& c : rows) {
      Add("KVTAR50",
          {{"RECNO", c.recno}, {"REFERENCE", c.ref}, {"NAME", c.name}, {"ISACTIVE", c.inactive}});
      Add("KVTAR51", {{"REFERENCE", c.ref}, {"CREDITLMT", "500.00"}});
      Add("KVTAR54", {{"REFERENCE", c.ref}, {"CURRENT", c.current}, {"MONTH1", c.month1}});
      if (*c.phone) Add("KVTAR57", {{"CUSTLINK", c.recno}, {"TELEPHONE", c.phone}});
    }
  }
  // A new customer as keyed: reference, name, address, city, state, zip, phone.
  static PVaddcustData Keyed(const Strings& fields) {
    PVaddcustData d{};
    char* columns[] = {d.REF, d.NAME, d.ADDR1, d.CITY, d.STATE, d.ZIP, d.PHONE};
    for (std::size_t i = 0; i < fields.size(); ++i) std::strcpy(columns[i], fields[i].c_str());
    return d;
  }
};

TEST_P(Customers, TheBalanceWindowFindsOneCustomerAndSteps) {
  // Keys typed into the window, then what it shows: reference and balance.
  // Keys by name; anything else is typed, then Enter (the next field).
  // clang-format off
  struct Case { const char* name; Strings keys; const char* shown; } cases[] = {
      {"by reference", {"1001"}, "1001 50.00 10.00"},
      {"an inactive customer is not found", {"1002"}, " "},
      {"by name", {"Tab", "Koehn Farms"}, "1003 0.00 0.00"},
      {"a name two customers share leaves it as it was", {"1001", "Twin"}, "1001 50.00 10.00"},
      {"by phone", {"Tab", "Tab", "620-555-1001"}, "1001 50.00 10.00"},
      {"a shared phone finds nobody", {"Tab", "Tab", "620-555-1004"}, " "},
      {"next by reference skips the inactive", {"1001", "Shift+Tab", "PgDn"}, "1003 0.00 0.00"},
      {"previous by reference", {"1004", "Shift+Tab", "PgUp"}, "1003 0.00 0.00"},
      {"next by name, ties by record number", {"1004", "PgDn"}, "1005 0.00 0.00"},
      {"previous by name", {"1004", "PgUp"}, "1001 50.00 10.00"},
      {"next by phone", {"1001", "Tab", "PgDn"}, "1004 0.00 0.00"},
      {"previous by phone, ties by the phone's record", {"1005", "Tab", "PgUp"}, "1004 0.00 0.00"},
      {"from a customer without a phone, the first with one", {"1003", "Tab", "PgDn"}, "1001 50.00 10.00"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    user.Reset();
    PVcustinfDlg window(host->MainWindow());
    std::string shown;
    for (const std::string& k : c.keys) {
      if (k == "Tab" || k == "Shift+Tab" || k == "PgDn" || k == "PgUp")
        user.Key(k);
      else
        user.Type(k).Key("Enter");
    }
    user.Do([&] {
      shown = window.GetFieldText(PVcustinfDlg::IDC_CUSTREF) + " " +
              window.GetFieldText(PVcustinfDlg::IDC_BALDUE) + " " +
              window.GetFieldText(PVcustinfDlg::IDC_PASTDUE);
      if (shown == "  ") shown = " ";
    });
    user.Key("Esc");
    window.Execute();
    EXPECT_EQ(shown, c.shown);
    ExpectNoFailures();
  }
}

TEST_P(Customers, AddingACustomerChecksEachFieldInOrder) {
  // reference, name, address, city, state, zip, phone -> the message
  // clang-format off
  struct Case { Strings fields; const char* message; } cases[] = {
      {{"", "N", "A", "C", "KS", "1", "P"}, "Reference required."},
      {{"1001", "N", "A", "C", "KS", "1", "P"}, "Invalid customer reference, already in use."},
      {{"2001", "", "A", "C", "KS", "1", "P"}, "Name required."},
      {{"2001", "N", "", "C", "KS", "1", "P"}, "Address required."},
      {{"2001", "N", "A", "", "KS", "1", "P"}, "City required."},
      {{"2001", "N", "A", "C", "", "1", "P"}, "State required."},
      {{"2001", "N", "A", "C", "KS", "", "P"}, "Zip Code required."},
      {{"2001", "N", "A", "C", "KS", "1", ""}, "Phone Number required."},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    user.Reset();
    PVaddcustDlg add(host->MainWindow());
    const int ids[] = {PVaddcustDlg::IDC_REF,  PVaddcustDlg::IDC_NAME,  PVaddcustDlg::IDC_ADDR1,
                       PVaddcustDlg::IDC_CITY, PVaddcustDlg::IDC_STATE, PVaddcustDlg::IDC_ZIP,
                       PVaddcustDlg::IDC_PHONE};
    user.Do([&] {
      for (int i = 0; i < 7; ++i) add.SetFieldText(ids[i], c.fields[static_cast<std::size_t>(i)]);
    });
    user.Click("OK").Key("Esc");
    EXPECT_EQ(add.Execute(), IDCANCEL);
    EXPECT_EQ(Messages(), Strings{c.message});
  }
  EXPECT_EQ(db().Count("KVTAR50"), 5);
}

TEST_P(Customers, AutoTakesTheNextFreeNumberAndWritesEveryTable) {
  Add("KVTAR10", {{"NEXTCNUM", "1003"}, {"RECNO", "1"}});
  PVaddcustData d =
      Keyed({"Auto", "Voth Farms", "12 Mill Rd", "Lyons", "KS", "67554", "620-555-7777"});
  std::string message;
  ASSERT_TRUE(kvt::payment::SaveCustomer(d, true, &message)) << message;
  // 1003, 1004 and 1005 are taken.
  EXPECT_STREQ(d.REF, "1006");
  EXPECT_EQ(db().Value("SELECT NEXTCNUM FROM KVTAR10"), "1007");
  for (const char* table : {"KVTAR50", "KVTAR51", "KVTAR52", "KVTAR53", "KVTAR54", "KVTAR56"})
    EXPECT_EQ(db().Count(table, "REFERENCE = '1006'"), 1) << table;
  EXPECT_EQ(db().Value("SELECT OPENBALFWD FROM KVTAR51 WHERE REFERENCE = '1006'"), "B");
  EXPECT_EQ(db().Value("SELECT TELEPHONE FROM KVTAR57,KVTAR50 WHERE KVTAR50.REFERENCE = '1006' "
                       "AND NUMVAL(KVTAR57.CUSTLINK) = KVTAR50.RECNO"),
            "620-555-7777");
}

TEST_P(Customers, AFailedInsertLeavesNoRowOfTheCustomer) {
  for (const char* failing :
       {"INSERT INTO KVTAR50 ", "INSERT INTO KVTAR54 ", "INSERT INTO KVTAR57 "}) {
    SCOPED_TRACE(failing);
    PVaddcustData d = Keyed({"3001", "N", "A", "C", "KS", "1", "555"});
    KVTSqlFailStatements(failing);
    std::string message;
    EXPECT_FALSE(kvt::payment::SaveCustomer(d, false, &message));
    KVTSqlClearFaults();
    const std::string table = std::string(failing).substr(12, 7);
    EXPECT_EQ(message.substr(0, message.find("\n\n")),
              "Error occurred inserting " + table + " record.\nThis customer has not been saved!");
    for (const char* t : {"KVTAR50", "KVTAR51", "KVTAR52", "KVTAR53", "KVTAR54", "KVTAR56"})
      EXPECT_EQ(db().Count(t, "REFERENCE = '3001'"), 0) << t;
    EXPECT_EQ(db().Count("KVTAR57", "TELEPHONE = '555'"), 0);
  }
}

KVT_ON_BOTH_BACKENDS(Customers);

}  // namespace

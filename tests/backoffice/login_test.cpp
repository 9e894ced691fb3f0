// Logging in to a till shift: the shift's state from its sales, the login
// screen through the scripted user, and the employee and password popups.
#include "backoffice/login.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "backoffice/empid.h"
#include "backoffice/password.h"
#include "platform/base/kvtbase.h"
#include "platform/win/folders.h"
#include "platform/win/profile.h"
#include "shell/posmisc.h"
#include "shell/windll.h"
#include "tests/support/till.h"

namespace {

using Ids = PVloginDlg;
using Rows = std::vector<std::vector<std::string>>;

// Store, today's date, till and employee keyed; the shift is next.
const std::string kToShift = "type MAIN;key Enter;key Enter;type T1;key Enter;type E1;key Enter;";

class LoginTest : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTClearQuitPosted();
    ASSERT_TRUE(KVTSetToday("12/05/2025"));
    WritePrivateProfileString("Point of Sale", nullptr, nullptr, "kvtlocal.ini");
    Config("T");
    Add({"KVTCOM13 REFERENCE=MAIN LOCATION=01", "KVTCOM13 REFERENCE=WEST",
         "KVTCOM14 STOREREF=MAIN TILLNUM=T1", "KVTCOM14 STOREREF=WEST TILLNUM=T2",
         "KVTCOM14 STOREREF=WEST TILLNUM=T3", "KVTCOM11 EMPCODE=E1 NAME=Pat", "KVTCOM10 SHIFT=S1",
         "KVTCOM10 SHIFT=S2", "KVTCOM10 SHIFT=S3"});
    // S1 is new; S2 has two sales to continue; S3 was closed by a transfer.
    Sale("1", "", "12/05/2025", "S2");
    Sale("2", "", "12/05/2025", "S2");
    Sale("3", "", "12/05/2025", "S3");
    Sale("4", "55", "12/05/2025", "S3");
  }
  void TearDown() override {
    KVTClearQuitPosted();
    TillTest::TearDown();
  }

  void Config(const std::string& changeDate) {
    db().Rows("DELETE FROM KVTPOS10");
    Add({"KVTPOS10 RECNO=1 DEFSREP=T PSWD=Till9 TRNPSWD=Xfer CHANGEDATE=" + changeDate});
  }
  void Sale(const std::string& number, const std::string& transnum,
            const std::string& date = "12/05/2025", const std::string& shift = "S1",
            const std::string& till = "T1") {
    Add({"KVTPOS1 STORE=MAIN CASHAMT=10.00 INVOICENUM=" + number + " TRANSNUM=" + transnum +
         " INVDATE=" + date + " SHIFT=" + shift + " TILLREF=" + till});
  }

  static PVloginDlg* LoginScreen() {
    return dynamic_cast<PVloginDlg*>(KVTForms::Instance().ActiveScreen());
  }

  // "caption: text", with an injected database message shown as "<reason>".
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const KVTShownMessage& m : user.Messages()) {
      std::string text = m.text;
      std::size_t reason = text.find("\n\ninjected failure");
      if (reason != std::string::npos) text.replace(reason, std::string::npos, "\n\n<reason>");
      std::size_t away = text.find("The database is not available: ");
      if (away != std::string::npos) text.replace(away, std::string::npos, "<away>");
      out.push_back(m.caption + ": " + text);
    }
    return out;
  }
};

TEST_P(LoginTest, TheShiftsSalesSayWhetherItIsNewContinuedOrClosed) {
  using S = KVTShiftState;
  // Sales as transfer number, date and till; each case on a shift of its own.
  // clang-format off
  struct Case { std::vector<std::vector<const char*>> sales; KVTShiftState state; } cases[] = {
      {{}, S::New},
      {{{"", "12/05/2025", "T1"}, {"", "12/05/2025", "T1"}}, S::Continued},
      {{{"", "12/05/2025", "T1"}, {"55", "12/05/2025", "T1"}}, S::Closed},
      {{{"55", "12/05/2025", "T1"}, {"", "12/05/2025", "T1"}}, S::Closed},
      {{{"55", "12/04/2025", "T1"}, {"", "12/05/2025", "T1"}}, S::Continued},  // another day's was transferred
      {{{"55", "12/05/2025", "T2"}}, S::New},                                  // another till's
  };
  // clang-format on
  int number = 0;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    std::string shift = "C" + std::to_string(i);
    for (const auto& s : cases[i].sales) Sale(std::to_string(++number), s[0], s[1], shift, s[2]);
    KVTTillShift till("MAIN", "12052025", "T1", shift);
    EXPECT_EQ(till.State(), cases[i].state) << shift << ": " << till.error();
  }
  KVTSqlFailStatements("SELECT TRANSNUM");
  KVTTillShift till("MAIN", "12052025", "T1", "C1");
  EXPECT_EQ(till.State(), S::Failed);
  EXPECT_NE(till.error().find("injected failure"), std::string::npos) << till.error();
}

// Entries the login refuses, and a database that cannot be read: the
// messages, where the operator is left, and nothing decided or written.
TEST_P(LoginTest, RefusedEntriesAndUnreadableTablesKeepTheOperatorThere) {
  const std::string kAnotherDay =
      "Point Of Sale: The shift date is not the current date, use anyway? ";
  // clang-format off
  struct Case { const char* name; std::string steps; std::vector<std::string> messages; int focus; std::map<int, std::string> fields; } cases[] = {
      {"UnknownStore", "type XX;key Enter", {"Error: Invalid Store."}, Ids::IDC_STORE, {{Ids::IDC_STORE, "XX"}}},
      {"TillOfAnotherStore", "type MAIN;key Enter;key Enter;type T2;key Enter", {"Error: Invalid Till Reference."}, Ids::IDC_TILLREF, {{Ids::IDC_TILLREF, "T2"}}},
      {"UnknownEmployee", "type MAIN;key Enter;key Enter;type T1;key Enter;type E9;key Enter", {"Error: Invalid Employee."}, Ids::IDC_EMPLOYEE, {{Ids::IDC_EMPLOYEE, "E9"}}},
      {"UnknownShift", kToShift + "type S9;key Enter", {"Error: Invalid Shift."}, Ids::IDC_SHIFT, {{Ids::IDC_SHIFT, "S9"}}},
      {"QuotedValueIsJustAnUnknownStore", "type M'X;key Enter", {"Error: Invalid Store."}, Ids::IDC_STORE, {}},
      {"AnotherDayAnsweredNo", "type MAIN;key Enter;type 1204;answer No;key Enter", {kAnotherDay}, Ids::IDC_SHIFTDATE, {{Ids::IDC_SHIFTDATE, "12042025"}}},
      {"AnotherDayAnsweredYesMovesOn", "type MAIN;key Enter;type 120400;answer Yes;key Enter", {kAnotherDay}, Ids::IDC_TILLREF, {{Ids::IDC_SHIFTDATE, "12042025"}}},
      {"TodayCompletedWithoutAQuestion", "type MAIN;key Enter;type 1205;key Enter", {}, Ids::IDC_TILLREF, {{Ids::IDC_SHIFTDATE, "12052025"}}},
      {"NotACalendarDay", "type MAIN;key Enter;type 1340;key Enter", {"Error: Invalid Shift Date."}, Ids::IDC_SHIFTDATE, {}},
      {"ShiftHeldGoesBackUnchecked", "type MAIN;key Enter;key Enter;type ZZ;key Shift+Enter", {}, Ids::IDC_SHIFTDATE, {{Ids::IDC_TILLREF, "ZZ"}}},
      {"NotAContinuationStartsOver", kToShift + "type S2;key Enter;see Cash Sales                        2              $20.00;click No", {}, Ids::IDC_STORE, {{Ids::IDC_SHIFT, ""}}},
      {"ClosedShift", kToShift + "type S3;key Enter", {"Point Of Sale:   This shift has been closed.\n\nYou must choose a different shift."}, Ids::IDC_STORE, {{Ids::IDC_STORE, ""}}},
      {"NewShiftAnsweredNoStartsOver", kToShift + "type S1;answer No;key Enter", {"Point Of Sale: Is this a new shift?"}, Ids::IDC_STORE, {{Ids::IDC_STORE, ""}, {Ids::IDC_TILLREF, ""}, {Ids::IDC_EMPLOYEE, ""}, {Ids::IDC_SHIFT, ""}, {Ids::IDC_SHIFTDATE, "12052025"}}},
      {"StoresUnreadable", "fail FROM KVTCOM13;type MAIN;key Enter", {"Error: The stores could not be read:\n\n<reason>"}, Ids::IDC_STORE, {{Ids::IDC_STORE, "MAIN"}}},
      {"TillsUnreadable", "type MAIN;key Enter;key Enter;fail FROM KVTCOM14;type T1;key Enter", {"Error: The tills could not be read:\n\n<reason>"}, Ids::IDC_TILLREF, {{Ids::IDC_TILLREF, "T1"}}},
      {"DatabaseAwayIsNoUnknownEmployee", "type MAIN;key Enter;key Enter;type T1;key Enter;away x;type E1;key Enter", {"Error: The employees could not be read:\n\n<away>"}, Ids::IDC_EMPLOYEE, {{Ids::IDC_EMPLOYEE, "E1"}}},
      {"EmployeesUnreadable", "type MAIN;key Enter;key Enter;type T1;key Enter;fail FROM KVTCOM11;type E1;key Enter", {"Error: The employees could not be read:\n\n<reason>"}, Ids::IDC_EMPLOYEE, {{Ids::IDC_EMPLOYEE, "E1"}}},
      {"ShiftsUnreadable", kToShift + "fail FROM KVTCOM10;type S1;key Enter", {"Error: The shifts could not be read:\n\n<reason>"}, Ids::IDC_SHIFT, {{Ids::IDC_SHIFT, "S1"}}},
      {"StoresUnreadableOnTheWholeCheck", kToShift + "type S1;fail FROM KVTCOM13;key Enter", {"Error: The stores could not be read:\n\n<reason>"}, Ids::IDC_STORE, {{Ids::IDC_STORE, "MAIN"}, {Ids::IDC_SHIFT, "S1"}}},
      {"SalesUnreadableDecideNothing", kToShift + "type S1;fail SELECT TRANSNUM;key Enter", {"Error: The sales of this shift could not be read:\n\n<reason>"}, Ids::IDC_SHIFT, {{Ids::IDC_STORE, "MAIN"}, {Ids::IDC_EMPLOYEE, "E1"}, {Ids::IDC_SHIFT, "S1"}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    user.Reset();
    Queue(c.steps);
    user.Do([&] {
      PVloginDlg* screen = LoginScreen();
      ASSERT_NE(screen, nullptr) << "the login screen closed";
      EXPECT_EQ(screen->GetFocusField(), c.focus) << user.Render();
      for (const auto& [id, text] : c.fields) EXPECT_EQ(screen->GetFieldText(id), text) << id;
      EXPECT_FALSE(screen->bLoggedIn);
      EXPECT_STREQ(screen->szLoggedIn, "FALSE");
    });
    user.Key("Esc");
    EXPECT_EQ(POSLogin(host->MainWindow()), IDCANCEL);
    ExpectNoFailures();
    EXPECT_EQ(Texts(), c.messages);
    for (const KVTShownMessage& m : user.Messages())
      EXPECT_EQ(m.icon, m.caption == "Error"   ? "stop"
                        : m.buttons.size() > 1 ? "question"
                                               : "information")
          << m.text;
    KVTSqlClearFaults();
  }
  EXPECT_EQ(db().Count("KVTPOS9"), 0);
  EXPECT_STREQ(LOGIN_STORE, "");
  EXPECT_TRUE(KVTForms::Instance().Frames().empty()) << "no sale window opened";
  EXPECT_FALSE(KVTQuitPosted()) << "Esc on a back-office computer only closes the screen";
}

// Where the operator starts: the configured store and till, and whether the
// date may be changed.
TEST_P(LoginTest, TheFocusStartsAtTheFirstThingToKey) {
  // clang-format off
  struct Case { const char* changeDate; const char* store; const char* till; int focus; } cases[] = {
      {"T", "", "", Ids::IDC_STORE}, {"T", "MAIN", "T1", Ids::IDC_SHIFTDATE}, {"F", "MAIN", "T1", Ids::IDC_EMPLOYEE},
      {"F", "WEST", "", Ids::IDC_TILLREF}, {"", "", "T1", Ids::IDC_STORE},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.changeDate) + "/" + c.store + "/" + c.till);
    Config(c.changeDate);
    WritePrivateProfileString("Point of Sale", "DefaultStore", c.store, "kvtlocal.ini");
    WritePrivateProfileString("Point of Sale", "DefaultTill", c.till, "kvtlocal.ini");
    user.Reset();
    user.Do([&] {
      PVloginDlg* screen = LoginScreen();
      ASSERT_NE(screen, nullptr);
      EXPECT_EQ(screen->GetFocusField(), c.focus);
      EXPECT_EQ(screen->GetFieldText(Ids::IDC_STORE), c.store);
      EXPECT_EQ(screen->GetFieldText(Ids::IDC_TILLREF), c.till);
      EXPECT_EQ(screen->GetFieldText(Ids::IDC_SHIFTDATE), "12052025");
      EXPECT_EQ(screen->IsFieldProtected(Ids::IDC_SHIFTDATE), std::string(c.changeDate) != "T");
    });
    user.Key("Esc");
    POSLogin(host->MainWindow());
    ExpectNoFailures();
  }
}

// A new shift on Yes, a continued one after its totals: the fields locked,
// the login values set, the open shift recorded (an open shift that cannot
// be recorded is reported, and the login goes on), the sale window open and
// the signature folder made.
TEST_P(LoginTest, ANewOrContinuedShiftOpensTheSaleWindow) {
  // clang-format off
  struct Case { const char* shift; std::string steps; std::vector<std::string> messages; bool recorded; } cases[] = {
      {"S1", "type S1;answer Yes;key Enter", {"Point Of Sale: Is this a new shift?"}, true},
      {"S2", "type S2;key Enter;see Date: 12/05/2025          Empl: E1            Shift: S2;click Yes", {}, true},
      {"S1", "type S1;answer Yes;fail INSERT INTO KVTPOS9;key Enter", {"Point Of Sale: Is this a new shift?", "Error: Error occurred inserting KVTPOS9 record.\n\n<reason>"}, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shift);
    KVTForms::Instance().CloseAll();
    db().Rows("DELETE FROM KVTPOS9");
    user.Reset();
    Queue(kToShift + c.steps);
    PVloginDlg screen(host->MainWindow());
    EXPECT_EQ(screen.Execute(), IDCANCEL);
    ExpectNoFailures();
    EXPECT_EQ(Texts(), c.messages);
    for (auto [value, expected] : {std::pair<const char*, std::string>{LOGIN_STORE, "MAIN"},
                                   {LOGIN_DATE, "12052025"},
                                   {LOGIN_TILL, "T1"},
                                   {LOGIN_EMPLOYEE, "E1"},
                                   {LOGIN_SHIFT, c.shift},
                                   {screen.szSaveShift, c.shift},
                                   {screen.szLoggedIn, "TRUE"}})
      EXPECT_EQ(value, expected);
    EXPECT_EQ(db().Rows("SELECT STORE, INVDATE, TILLREF, SHIFT FROM KVTPOS9 WHERE RECNO > 0"),
              (c.recorded ? Rows{{"MAIN", "12/05/2025", "T1", c.shift}} : Rows{}));
    std::vector<PVmdiwinDlg*> frames = KVTForms::Instance().Frames();
    ASSERT_EQ(frames.size(), 1u) << "the sale window";
    EXPECT_EQ(frames[0]->Caption(), "Point of Sale");
    auto* tabs = dynamic_cast<Tbacktab*>(frames[0]->Client());
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetTabTitle(0), "Sale Items");
    EXPECT_TRUE(FolderExists("POSSign"));
    EXPECT_TRUE(screen.bLoggedIn);
    for (int id : {Ids::IDC_STORE, Ids::IDC_SHIFTDATE, Ids::IDC_TILLREF, Ids::IDC_SHIFT})
      EXPECT_TRUE(screen.IsFieldProtected(id)) << id;
  }
}

// The close-out ends the open-shift record of that till shift only; a
// record that cannot be ended is reported.
TEST_P(LoginTest, RemoveLoginInfoEndsOneOpenShift) {
  for (const char* shift : {"S1", "S2"})
    Add({std::string("KVTPOS9 STORE=MAIN INVDATE=12/05/2025 TILLREF=T1 SHIFT=") + shift});
  PVpos1Dlg sale(nullptr);
  KVTSqlFailStatements("DELETE FROM KVTPOS9");
  sale.RemoveLoginInfo("MAIN", "12052025", "T1", "S1");
  EXPECT_EQ(Texts(),
            std::vector<std::string>{"Error: Error occurred deleting KVTPOS9 record.\n\n<reason>"});
  EXPECT_EQ(db().Count("KVTPOS9"), 2);
  sale.RemoveLoginInfo("MAIN", "12052025", "T1", "S1");
  EXPECT_EQ(db().Rows("SELECT SHIFT FROM KVTPOS9"), Rows{{"S2"}});
}

TEST_P(LoginTest, EscOnADedicatedTillEndsTheApplication) {
  for (int till : {1, 0}) {
    POSTILL = till;
    KVTClearQuitPosted();
    user.Reset();
    user.Key("Esc");
    EXPECT_EQ(StartPOS(host->MainWindow()), 0);
    user.Finish();
    EXPECT_EQ(KVTQuitPosted(), till == 1) << till;
    EXPECT_EQ(user.HasSteps(), till == 0) << "StartPOS opens the login only on a till";
  }
  POSTILL = 0;
}

// ---------------------------------------------------------------------------
// The popups

TEST_P(LoginTest, TheEmployeePopupAcceptsOnlyAKnownEmployee) {
  const std::string kUnreadable = "Error: The employees could not be read:\n\n<reason>";
  // clang-format off
  struct Case { const char* defaultRep; const char* steps; const char* shownFirst; std::vector<std::string> messages; bool passed; const char* employee; const char* keyed; } cases[] = {
      {"T", "key Enter", "E1", {}, true, "E1", "E1"},
      {"F", "type E1;key Enter", "", {}, true, "E1", "E1"},
      {"T", "type E9;key Enter;type E1;key Enter", "E1", {"Error: Invalid Employee."}, true, "E1", "E1"},
      {"F", "type E9;key Enter;key Esc", "", {"Error: Invalid Employee."}, false, "", ""},  // a refused code is cleared
      {"F", "fail FROM KVTCOM11;type E1;key Enter;key Esc", "", {kUnreadable}, false, "", "E1"},  // kept for another try
      {"F", "fail FROM KVTCOM11;type E1;key Enter;key Enter", "", {kUnreadable}, true, "E1", "E1"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    KVTSetSetting(CFG_DEFAULTSALESREP, c.defaultRep);
    user.Reset();
    PVempidDlg popup(host->MainWindow());
    popup.SetEmployee("E1");
    user.Do([&] { EXPECT_EQ(popup.GetFieldText(PVempidDlg::IDC_EMPLOYEE), c.shownFirst); });
    Queue(c.steps);
    popup.Execute();
    ExpectNoFailures();
    EXPECT_EQ(Texts(), c.messages);
    EXPECT_EQ(popup.HasPassed, c.passed);
    EXPECT_STREQ(popup.szEmployee, c.employee);
    EXPECT_STREQ(popup.Data.EMPLOYEE, c.keyed);
  }
}

TEST_P(LoginTest, ThePasswordPopupClosesOnEnterAndSaysWhetherItMatched) {
  GetConfigInfo("", "", "");
  // clang-format off
  struct Case { const char* flag; const char* typed; bool passed; bool refused; } cases[] = {
      {"", "Till9", true, false}, {"", "till9", false, true}, {"", "Xfer", false, true}, {"1", "Xfer", true, false},
      {"1", "Till9", false, true}, {"0", " Till9 ", true, false}, {"", nullptr, false, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    user.Reset();
    PVpasswordDlg popup(host->MainWindow());
    popup.SetTransferFlag(c.flag);
    if (c.typed) user.Type(c.typed);
    user.Key("Enter");
    int code = popup.Execute();
    ExpectNoFailures();
    EXPECT_EQ(popup.HasPassed, c.passed) << c.flag << "/" << (c.typed ? c.typed : "");
    EXPECT_EQ(code, c.passed ? IDOK : IDCANCEL);
    EXPECT_EQ(Texts(), c.refused ? std::vector<std::string>{"Error: Invalid Password."}
                                 : std::vector<std::string>{});
  }
}

KVT_ON_BOTH_BACKENDS(LoginTest);

}  // namespace

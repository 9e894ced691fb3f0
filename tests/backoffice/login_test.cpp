// Logging in to a till shift through the scripted user: the checks of each
// field with their messages and focus, the date confirmation, new, continued
// and closed shifts, the open-shift record and the login values, Esc on a
// dedicated till; and the employee and password popups.
#include "backoffice/login.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backoffice/empid.h"
#include "backoffice/password.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsqladmin.h"
#include "platform/win/folders.h"
#include "platform/win/profile.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/windll.h"
#include "suite/host/host.h"
#include "tests/support/testdb.h"

namespace {

using Ids = PVloginDlg;

class LoginTest : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTResetModuleState();
    KVTClearQuitPosted();
    ASSERT_TRUE(KVTSetToday("12/05/2025"));
    WritePrivateProfileString("Point of Sale", nullptr, nullptr, "kvtlocal.ini");
    user.Install();
    host = std::make_unique<KVTHost>();
    hApplication = host->Instance();
    Config("T");
    for (const char* store : {"MAIN", "WEST"})
      ASSERT_TRUE(db().Add("KVTCOM13", {{"REFERENCE", store}, {"LOCATION", "01"}}));
    ASSERT_TRUE(db().Add("KVTCOM14", {{"STOREREF", "MAIN"}, {"TILLNUM", "T1"}}));
    ASSERT_TRUE(db().Add("KVTCOM14", {{"STOREREF", "WEST"}, {"TILLNUM", "T2"}}));
    ASSERT_TRUE(db().Add("KVTCOM14", {{"STOREREF", "WEST"}, {"TILLNUM", "T3"}}));
    ASSERT_TRUE(db().Add("KVTCOM11", {{"EMPCODE", "E1"}, {"NAME", "Pat"}}));
    for (const char* shift : {"S1", "S2"}) ASSERT_TRUE(db().Add("KVTCOM10", {{"SHIFT", shift}}));
  }
  void TearDown() override {
    KVTForms::Instance().CloseAll();
    host.reset();
    KVTSetToday("");
    KVTClearQuitPosted();
    DatabaseTest::TearDown();
  }

  void Config(const char* changeDate) {
    db().Rows("DELETE FROM KVTPOS10");
    ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"},
                                      {"CHANGEDATE", changeDate},
                                      {"DEFSREP", "T"},
                                      {"PSWD", "Till9"},
                                      {"TRNPSWD", "Xfer"}}))
        << db().error();
  }
  void Sale(const char* number, const char* transnum, const char* date = "12/05/2025") {
    ASSERT_TRUE(db().Add("KVTPOS1", {{"INVOICENUM", number},
                                     {"STORE", "MAIN"},
                                     {"INVDATE", date},
                                     {"TILLREF", "T1"},
                                     {"SHIFT", "S1"},
                                     {"CASHAMT", "10.00"},
                                     {"TRANSNUM", transnum}}))
        << db().error();
  }

  // The steps up to the shift field, leaving it with Enter; `answer` is the
  // answer to a question that leaving it asks.
  static std::vector<std::string> ToShift(const char* shift = "S1", const char* answer = nullptr) {
    std::vector<std::string> steps = {
        "type MAIN", "key Enter", "key Enter", "type T1",
        "key Enter", "type E1",   "key Enter", std::string("type ") + shift};
    if (answer) steps.push_back(std::string("answer ") + answer);
    steps.push_back("key Enter");
    return steps;
  }

  void Queue(const std::vector<std::string>& steps) {
    for (const std::string& s : steps) {
      std::size_t sp = s.find(' ');
      std::string verb = s.substr(0, sp), arg = s.substr(sp + 1);
      if (verb == "type")
        user.Type(arg);
      else if (verb == "key")
        user.Key(arg);
      else if (verb == "click")
        user.Click(arg);
      else if (verb == "answer")
        user.Answer(ButtonFromName(arg));
      else
        ADD_FAILURE() << "bad step " << s;
    }
  }

  // The login screen in front, for checks made while it is open.
  static PVloginDlg* LoginScreen() {
    return dynamic_cast<PVloginDlg*>(KVTForms::Instance().ActiveScreen());
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const KVTShownMessage& m : user.Messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }

  KVTHeadlessBackend user;
  std::unique_ptr<KVTHost> host;
};

// Entries the login refuses: the messages, and where the operator is left.
struct RefusedCase {
  const char* name;
  std::vector<std::string> steps;
  std::vector<std::string> messages;  // "caption: text", in order
  int focus;
  std::map<int, std::string> fields;
};

TEST_P(LoginTest, RefusedEntriesSayWhyAndKeepTheOperatorThere) {
  const RefusedCase cases[] = {
      {"UnknownStore",
       {"type XX", "key Enter"},
       {"Error: Invalid Store."},
       Ids::IDC_STORE,
       {{Ids::IDC_STORE, "XX"}}},
      {"TillOfAnotherStore",
       {"type MAIN", "key Enter", "key Enter", "type T2", "key Enter"},
       {"Error: Invalid Till Reference."},
       Ids::IDC_TILLREF,
       {{Ids::IDC_TILLREF, "T2"}}},
      {"UnknownEmployee",
       {"type MAIN", "key Enter", "key Enter", "type T1", "key Enter", "type E9", "key Enter"},
       {"Error: Invalid Employee."},
       Ids::IDC_EMPLOYEE,
       {{Ids::IDC_EMPLOYEE, "E9"}}},
      {"UnknownShift",
       ToShift("S9"),
       {"Error: Invalid Shift."},
       Ids::IDC_SHIFT,
       {{Ids::IDC_SHIFT, "S9"}}},
      {"QuotedValueIsJustAnUnknownStore",
       {"type M'X", "key Enter"},
       {"Error: Invalid Store."},
       Ids::IDC_STORE,
       {}},
      {"AnotherDayAnsweredNo",
       {"type MAIN", "key Enter", "type 1204", "answer No", "key Enter"},
       {"Point Of Sale: The shift date is not the current date, use anyway? "},
       Ids::IDC_SHIFTDATE,
       {{Ids::IDC_SHIFTDATE, "12042025"}}},
      {"AnotherDayAnsweredYesMovesOn",
       {"type MAIN", "key Enter", "type 120400", "answer Yes", "key Enter"},
       {"Point Of Sale: The shift date is not the current date, use anyway? "},
       Ids::IDC_TILLREF,
       {{Ids::IDC_SHIFTDATE, "12042025"}}},
      {"TheYear2000IsNotStripped",
       {"type MAIN", "key Enter", "type 12052000", "answer No", "key Enter"},
       {"Point Of Sale: The shift date is not the current date, use anyway? "},
       Ids::IDC_SHIFTDATE,
       {{Ids::IDC_SHIFTDATE, "12052000"}}},
      {"TodayCompletedWithoutAQuestion",
       {"type MAIN", "key Enter", "type 1205", "key Enter"},
       {},
       Ids::IDC_TILLREF,
       {{Ids::IDC_SHIFTDATE, "12052025"}}},
      {"NotACalendarDay",
       {"type MAIN", "key Enter", "type 1340", "key Enter"},
       {"Error: Invalid Shift Date."},
       Ids::IDC_SHIFTDATE,
       {}},
      {"ShiftHeldGoesBackUnchecked",
       {"type MAIN", "key Enter", "key Enter", "type ZZ", "key Shift+Enter"},
       {},
       Ids::IDC_SHIFTDATE,
       {{Ids::IDC_TILLREF, "ZZ"}}},
      {"NewShiftAnsweredNoStartsOver",
       ToShift("S1", "No"),
       {"Point Of Sale: Is this a new shift?"},
       Ids::IDC_STORE,
       {{Ids::IDC_STORE, ""},
        {Ids::IDC_TILLREF, ""},
        {Ids::IDC_EMPLOYEE, ""},
        {Ids::IDC_SHIFT, ""},
        {Ids::IDC_SHIFTDATE, "12052025"}}},
  };
  for (const RefusedCase& c : cases) {
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
    user.Finish();
    EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
    EXPECT_EQ(Texts(), c.messages);
    for (const KVTShownMessage& m : user.Messages())
      if (m.caption == "Error") {
        EXPECT_EQ(m.icon, "stop");
      }
  }
  EXPECT_EQ(db().Count("KVTPOS9"), 0);
  EXPECT_STREQ(LOGIN_STORE, "");
  EXPECT_TRUE(KVTForms::Instance().Frames().empty()) << "no sale window opened";
  EXPECT_FALSE(KVTQuitPosted()) << "Esc on a back-office computer only closes the screen";
}

// Where the operator starts: the configured store and till, and whether the
// date may be changed.
TEST_P(LoginTest, TheFocusStartsAtTheFirstThingToKey) {
  struct Case {
    const char* changeDate;
    const char* store;
    const char* till;
    int focus;
  } cases[] = {
      {"T", "", "", Ids::IDC_STORE},          {"T", "MAIN", "T1", Ids::IDC_SHIFTDATE},
      {"F", "MAIN", "T1", Ids::IDC_EMPLOYEE}, {"F", "WEST", "", Ids::IDC_TILLREF},
      {"", "", "T1", Ids::IDC_STORE},
  };
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
      EXPECT_FALSE(screen->IsFieldProtected(Ids::IDC_STORE));
    });
    user.Key("Esc");
    POSLogin(host->MainWindow());
    user.Finish();
    EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
  }
}

// A successful login: the fields locked, the login values set, the open
// shift recorded, the sale window open and the signature folder made.
void ExpectLoggedIn(kvt::test::TestDatabase& db, const PVloginDlg& screen) {
  EXPECT_STREQ(LOGIN_STORE, "MAIN");
  EXPECT_STREQ(LOGIN_DATE, "12052025");
  EXPECT_STREQ(LOGIN_TILL, "T1");
  EXPECT_STREQ(LOGIN_EMPLOYEE, "E1");
  EXPECT_STREQ(LOGIN_SHIFT, "S1");
  auto rows = db.Rows("SELECT STORE, INVDATE, TILLREF, SHIFT, RECNO FROM KVTPOS9");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"MAIN", "12/05/2025", "T1", "S1", rows[0][4]}));
  EXPECT_GT(std::atof(rows[0][4].c_str()), 0);
  std::vector<PVmdiwinDlg*> frames = KVTForms::Instance().Frames();
  ASSERT_EQ(frames.size(), 1u) << "the sale window";
  EXPECT_EQ(frames[0]->Caption(), "Point of Sale");
  auto* tabs = dynamic_cast<Tbacktab*>(frames[0]->Client());
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->GetTabTitle(0), "Sale Items");
  EXPECT_TRUE(FolderExists("POSSign"));
  EXPECT_TRUE(screen.bLoggedIn);
  EXPECT_STREQ(screen.szLoggedIn, "TRUE");
  EXPECT_STREQ(screen.szSaveStore, "MAIN");
  EXPECT_STREQ(screen.szSaveShiftDate, "12052025");
  EXPECT_STREQ(screen.szSaveShift, "S1");
  for (int id :
       {Ids::IDC_STORE, Ids::IDC_SHIFTDATE, Ids::IDC_TILLREF, Ids::IDC_EMPLOYEE, Ids::IDC_SHIFT}) {
    EXPECT_TRUE(screen.IsFieldProtected(id)) << id;
    EXPECT_EQ(screen.FieldState(id)->bg, KVT_PROTECTED_BG) << id;
  }
}

TEST_P(LoginTest, ANewShiftStartsOnYes) {
  Queue(ToShift("S1", "Yes"));
  PVloginDlg screen(host->MainWindow());
  EXPECT_EQ(screen.Execute(), IDCANCEL);
  user.Finish();
  EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
  EXPECT_EQ(Texts(), std::vector<std::string>{"Point Of Sale: Is this a new shift?"});
  ExpectLoggedIn(db(), screen);
  EXPECT_FALSE(KVTQuitPosted());

  // The close-out ends the open-shift record of that till shift only.
  ASSERT_TRUE(
      db().Add("KVTPOS9",
               {{"STORE", "MAIN"}, {"INVDATE", "12/05/2025"}, {"TILLREF", "T1"}, {"SHIFT", "S2"}}));
  PVpos1Dlg sale(nullptr);
  sale.RemoveLoginInfo(LOGIN_STORE, LOGIN_DATE, LOGIN_TILL, LOGIN_SHIFT);
  EXPECT_EQ(db().Count("KVTPOS9"), 1);
  EXPECT_EQ(db().Count("KVTPOS9", "SHIFT = 'S2'"), 1);
}

TEST_P(LoginTest, AShiftWithUntransferredSalesContinuesAfterItsTotals) {
  Sale("1", "");
  Sale("2", "");
  Sale("3", "77", "12/04/2025");  // another day's shift was transferred
  Queue(ToShift());
  user.Do([&] {
    auto* totals = KVTForms::Instance().ActiveScreen();
    ASSERT_NE(totals, nullptr);
    EXPECT_EQ(totals->Caption(), "Shift total verification");
    std::string text = totals->GetFieldText(101);
    EXPECT_NE(text.find("Cash Sales                        2              $20.00"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.rfind("Date: 12/05/2025          Empl: E1            Shift: S1", 0), 0u) << text;
  });
  user.Click("Yes");
  PVloginDlg screen(host->MainWindow());
  screen.Execute();
  user.Finish();
  EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
  EXPECT_TRUE(user.Messages().empty());
  EXPECT_STREQ(screen.szContinue, "YES");
  ExpectLoggedIn(db(), screen);
}

TEST_P(LoginTest, NotAContinuationStartsOver) {
  Sale("1", "");
  Queue(ToShift());
  user.Click("No");
  user.Do([&] {
    PVloginDlg* screen = LoginScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->GetFocusField(), Ids::IDC_STORE);
    EXPECT_EQ(screen->GetFieldText(Ids::IDC_SHIFT), "");
    EXPECT_STREQ(screen->szContinue, "NO");
  });
  user.Key("Esc");
  POSLogin(host->MainWindow());
  user.Finish();
  EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
  EXPECT_EQ(db().Count("KVTPOS9"), 0);
  EXPECT_STREQ(LOGIN_SHIFT, "");
}

TEST_P(LoginTest, AShiftWithATransferredSaleIsClosed) {
  Sale("1", "");
  Sale("2", "55");
  Queue(ToShift());
  user.Do([&] {
    PVloginDlg* screen = LoginScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->GetFocusField(), Ids::IDC_STORE);
    EXPECT_EQ(screen->GetFieldText(Ids::IDC_STORE), "");
  });
  user.Key("Esc");
  POSLogin(host->MainWindow());
  user.Finish();
  EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text,
            "  This shift has been closed.\n\nYou must choose a different shift.");
  EXPECT_EQ(user.Messages()[0].caption, "Point Of Sale");
  EXPECT_EQ(user.Messages()[0].icon, "information");
  EXPECT_EQ(db().Count("KVTPOS9"), 0);
}

TEST_P(LoginTest, AFailedOpenShiftRecordIsReportedAndTheLoginGoesOn) {
  Queue(ToShift("S1", "Yes"));
  KVTSqlFailStatements("INSERT INTO KVTPOS9");
  PVloginDlg screen(host->MainWindow());
  screen.Execute();
  KVTSqlClearFaults();
  user.Finish();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Point Of Sale: Is this a new shift?",
                                               "Error: Error occurred inserting KVTPOS9 record."}));
  EXPECT_STREQ(LOGIN_SHIFT, "S1");
  EXPECT_EQ(KVTForms::Instance().Frames().size(), 1u);
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
  struct Case {
    const char* defaultRep;  // CFG_DEFAULTSALESREP
    std::vector<std::string> steps;
    std::string shownFirst;
    std::vector<std::string> messages;
    bool passed;
    const char* employee;
  } cases[] = {
      {"T", {"key Enter"}, "E1", {}, true, "E1"},
      {"F", {"type E1", "key Enter"}, "", {}, true, "E1"},
      {"T",
       {"type E9", "key Enter", "type E1", "key Enter"},
       "E1",
       {"Error: Invalid Employee."},
       true,
       "E1"},
      {"F", {"key Enter", "key Esc"}, "", {"Error: Invalid Employee."}, false, ""},
  };
  for (const Case& c : cases) {
    KVTSetSetting(CFG_DEFAULTSALESREP, c.defaultRep);
    user.Reset();
    PVempidDlg popup(host->MainWindow());
    popup.SetEmployee("E1");
    user.Do([&] { EXPECT_EQ(popup.GetFieldText(PVempidDlg::IDC_EMPLOYEE), c.shownFirst); });
    if (c.steps.size() > 2) {
      Queue({c.steps[0], c.steps[1]});
      user.Do([&] {
        EXPECT_EQ(popup.GetFieldText(PVempidDlg::IDC_EMPLOYEE), "") << "a refused code is cleared";
        EXPECT_FALSE(popup.HasPassed);
      });
      Queue({c.steps[2], c.steps[3]});
    } else {
      Queue(c.steps);
    }
    popup.Execute();
    user.Finish();
    EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
    EXPECT_EQ(Texts(), c.messages);
    EXPECT_EQ(popup.HasPassed, c.passed);
    EXPECT_STREQ(popup.szEmployee, c.employee);
  }
}

TEST_P(LoginTest, ThePasswordPopupClosesOnEnterAndSaysWhetherItMatched) {
  GetConfigInfo("", "", "");
  struct Case {
    const char* flag;
    const char* typed;  // nullptr: nothing typed
    bool passed;
    bool refused;  // "Invalid Password." shown
  } cases[] = {
      {"", "Till9", true, false},  {"", "till9", false, true},  {"", "Xfer", false, true},
      {"1", "Xfer", true, false},  {"1", "Till9", false, true}, {"0", " Till9 ", true, false},
      {"", nullptr, false, false},
  };
  for (const Case& c : cases) {
    user.Reset();
    PVpasswordDlg popup(host->MainWindow());
    popup.SetTransferFlag(c.flag);
    if (c.typed) user.Type(c.typed);
    user.Key("Enter");
    int code = popup.Execute();
    user.Finish();
    EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
    EXPECT_EQ(popup.HasPassed, c.passed) << c.flag << "/" << (c.typed ? c.typed : "");
    EXPECT_EQ(code, c.passed ? IDOK : IDCANCEL);
    EXPECT_EQ(Texts(), c.refused ? std::vector<std::string>{"Error: Invalid Password."}
                                 : std::vector<std::string>{});
  }
}

KVT_ON_BOTH_BACKENDS(LoginTest);

}  // namespace

// A till as the screen tests of the sale, the payment and the back office
// meet it: a fresh database (DatabaseTest), the module's settings at their
// defaults, the scripted user, the host window, pick lists and search
// windows that read through connection 1 as the host has them do, the login
// to a store, and the sale window a login opens.
//
//   class Refunds : public kvt::test::TillTest {
//     void SetUp() override {
//       TillTest::SetUp();
//       if (IsSkipped() || HasFatalFailure()) return;
//       Add({"KVTCOM13 REFERENCE=MAIN LOCATION=01", "KVTAR50 REFERENCE=1001 NAME='Miller, Al'"});
//       LogIn("MAIN", "06152026");
//       sale = OpenSale();
//     }
//   };
//
// Link kvtposcore, kvthostcore, kvtformsheadless and kvtfixture.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/forms/query.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/screens.h"
#include "suite/host/host.h"
#include "tests/support/steps.h"
#include "tests/support/testdb.h"

namespace kvt::test {

using Strings = std::vector<std::string>;

// Pick lists and search windows read through connection 1, as the host has them do.
inline void ReadFormsThroughConnectionOne() {
  SetFormsQuery([](const std::string& sql, std::vector<std::vector<std::string>>* rows) {
    KVTSConnection conn(1, nullptr, 0);
    if (conn.ExecSQL(sql.c_str()) <= 0) return false;
    while (conn.FetchNext()) {
      rows->emplace_back();
      for (int c = 1; c <= conn.ColumnCount(); ++c) rows->back().emplace_back(conn.ColumnVar(c));
    }
    return true;
  });
}

class TillTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTResetModuleState();
    user.Install();
    host = std::make_unique<KVTHost>();
    hApplication = host->Instance();
    ReadFormsThroughConnectionOne();
  }
  void TearDown() override {
    KVTForms::Instance().CloseAll();
    SetFormsQuery({});
    KVTSqlClearFaults();
    KVTSetToday("");
    host.reset();
    hApplication = nullptr;
    KVTResetModuleState();
    DatabaseTest::TearDown();
  }

  // The login's settings; `date` as MMDDYYYY.
  static void LogIn(const char* store, const char* date, const char* till = "1",
                    const char* employee = "100", const char* shift = "1") {
    KVTSetSetting(LOGIN_STORE, store);
    KVTSetSetting(LOGIN_DATE, date);
    KVTSetSetting(LOGIN_TILL, till);
    KVTSetSetting(LOGIN_EMPLOYEE, employee);
    KVTSetSetting(LOGIN_SHIFT, shift);
  }

  // The sale window as a login opens it: the items page and the total page
  // in an MDI frame; what set-up posted is run as a message loop would, and
  // the steps queued before are played. Null when the frame is refused.
  PVpos1Dlg* OpenSale() {
    auto* items = new PVpos1Dlg(host->MainWindow());
    auto* tabs = new Tbacktab(host->MainWindow());
    tabs->AddTab("Sale Items", items);
    tabs->AddTab("Sale Total", KVTNewPage("PVpos2Dlg", host->MainWindow(), "Sale Total"));
    auto* frame = new PVmdiwinDlg(host->MDIClient(), "Point Of Sale", tabs);
    if (!frame->Create()) {
      delete frame;
      return nullptr;
    }
    tabs->Show(SW_SHOW);
    frame->Show(SW_SHOW);
    frame->SetFocus();
    KVTForms::Instance().Idle();
    user.Run();
    return items;
  }

  // Steps separated by ";" (steps.h), and two of the database: "fail TEXT"
  // (the next statement containing TEXT fails as the database would) and
  // "away" (the database goes away).
  void Queue(const std::string& steps) {
    for (const std::string& step : SplitSteps(steps)) {
      const std::string arg = step.substr(step.find(' ') + 1);
      if (step.rfind("fail ", 0) == 0)
        user.Do([arg] { KVTSqlFailStatements(arg.c_str()); });
      else if (step.rfind("away", 0) == 0)
        user.Do([] { KVTSqlDatabaseAway(true); });
      else if (!QueueStep(user, step))
        ADD_FAILURE() << "unknown step " << step;
    }
  }

  Strings Messages() const {
    Strings out;
    for (const KVTShownMessage& m : user.Messages()) out.push_back(m.text);
    return out;
  }
  // Every step queued was played and every check of the scripted user held.
  void ExpectNoFailures() {
    user.Finish();
    for (const std::string& f : user.Failures()) ADD_FAILURE() << f;
  }

  KVTHeadlessBackend user;
  std::unique_ptr<KVTHost> host;
};

}  // namespace kvt::test

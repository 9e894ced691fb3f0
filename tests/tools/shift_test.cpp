// A whole shift of a dedicated till on the demo store, played by the
// scripted user through the module's exports: the login, five sales of
// different tenders, a parked and recalled sale, a no-sale and the close-out;
// the next login shows the shift's totals, and the rows are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/forms/preview.h"
#include "platform/forms/query.h"
#include "platform/sql/kvtsql.h"
#include "platform/win/module.h"
#include "platform/win/profile.h"
#include "suite/host/host.h"
#include "tests/support/testdb.h"
#include "tools/kvtpos-script/script.h"

namespace {

// Script lines from steps separated by ";".
std::string Steps(std::string steps) {
  std::replace(steps.begin(), steps.end(), ';', '\n');
  return steps + "\n";
}

// One till-code line (department 20) of `what` for `amount`, then the total key.
std::string Item(const std::string& what, const char* amount) {
  return "type 20;key Enter;type " + what + ";key Enter;type 1;key Enter;type " + amount +
         ";key Enter;key F10;";
}

// The first cashier of 12/06/2025 opens shift 1.
const std::string kLogin = Steps(
    "today 12/06/2025;call POSLogin;expect focus 180;key Enter;key Enter;type 100;key Enter;"
    "type 1;answer Yes;key Enter");

// Cash, a check, a charge, then a bank card and Farm Plan through the
// financing module; a parked sale recalled and paid, a no-sale, the
// close-out; the next cashier's login finds the shift and shows its totals.
const std::string kShift =
    kLogin + Steps(Item("Gate hinges", "10.00") + "key Enter;type 20.00;key Enter") +
    Steps(Item("Fence staples", "5.00") + "key Down;key Enter;type 2231;key Enter;key Enter") +
    Steps(Item("Gate latch", "30.00") +
          "key Down;key Down;key Down;key Down;key Enter;type 1001;key Enter;key Enter") +
    Steps(Item("Post driver", "40.00") + "key Down;key Down;key Enter") +
    Steps(Item("Stock tank", "200.00") +
          "key Down;key Down;key Down;key Down;key Down;key Down;key Down;key Down;key Down;key "
          "Enter") +
    Steps(
        "type 20;key Enter;type Baling twine;key Enter;type 1;key Enter;type 8.00;key Enter;key "
        "F5;key F6;click OK;key F10;key Enter;key Enter") +
    Steps("key F2;answer Yes;key F3;expect sql \"SELECT COUNT(1) FROM KVTPOS9\" \"0\"") +
    Steps("key Enter;key Enter;type 100;key Enter;type 1;key Enter") +
    R"kvts(expect field 101 "Date: 12/06/2025          Empl: 100           Shift: 1     \nCash Sales                        2              $19.49\nCash Returns                      0               $0.00\nCash ROA's                        0               $0.00\nFarm Plan Cash ROA's              0               $0.00\n-------------------------------------------------------\nCash Subtotal                                    $19.49\n\nCheck Sales                       1               $5.42\nCheck ROA's                       0               $0.00\nFarm Plan Check ROA's             0               $0.00\n-------------------------------------------------------\nCash Sales Subtotal                              $24.91\n\nFood Stamp Sales                  0               $0.00\nCharge Sales                      1              $32.48\nCharge Returns                    0               $0.00\nCredit Card Sales                 1              $43.30\nCredit Card ROA's                 0               $0.00\nCredit Card Returns               0               $0.00\nFarm Plan                         1             $216.50\nFarm Plan Returns                 0               $0.00\nGift Card Sales                   0               $0.00\nGift Card ROA's                   0               $0.00\n-------------------------------------------------------\nTotal for Till # 1                              $317.19\n\nCashed Checks                     0               $0.00\n\n            *** Voided Items *** Count: 0\n               *** No Sales ***  Count: 1\n"
click &No
key Esc
expect sql "SELECT TRANSTYPE, STATUS, PYMTMETHOD, CUSTREF, INVCTOTAL FROM KVTPOS1 WHERE INVDATE = {12/06/2025} ORDER BY RECNO" "S|C|1|CASH|10.83\nS|C|2|CHECK|5.42\nS|C|5|1001|32.48\nS|C|3|CCARD|43.30\nS|C|A|1001|216.50\nS|C|1|CASH|8.66\nN|C|||"
expect sql "SELECT CCTYPE, CCNUMBER, FPACCNUM, FPAMT FROM KVTPOS1 WHERE PYMTMETHOD IN ('3', 'A') ORDER BY RECNO" "VISA|****************||\n||FP-20417|216.50"
)kvts";

class Shift : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(db().LoadDemo()) << db().error();
    for (const char* file : {"KVT32.ini", "kvtlocal.ini", "KVTJD.ini"}) std::remove(file);
    // clang-format off
    const char* settings[][4] = {
        {"KVTEXE", "POSTill", "1", "KVT32.ini"}, {"KVTJD.DLL", "DllDate", "06/01/2025", "KVT32.ini"},
        {"Point of Sale", "DefaultStore", "MAIN", "kvtlocal.ini"}, {"Point of Sale", "DefaultTill", "1", "kvtlocal.ini"},
        {"Point of Sale", "ReceiptPrinter", "View Window", "kvtlocal.ini"},
        {"Point of Sale", "InvoicePrinter", "View Window", "kvtlocal.ini"},
        {"Farm Plan", "Locations", "*", "KVTJD.ini"}, {"Farm Plan", "Customer", "1001", "KVTJD.ini"},
        {"Farm Plan", "Account", "FP-20417", "KVTJD.ini"}, {"Bank Cards", "Locations", "*", "KVTJD.ini"},
        {"Bank Cards", "CardType", "V", "KVTJD.ini"}, {"Bank Cards", "Customer", "CCARD", "KVTJD.ini"},
        {"Bank Cards", "CardNumber", "4000123412341111", "KVTJD.ini"}};
    // clang-format on
    for (auto& s : settings) ASSERT_TRUE(WritePrivateProfileString(s[0], s[1], s[2], s[3]));
    user.Install();
    SetFormsQuery([this](const std::string& sql, std::vector<std::vector<std::string>>* rows) {
      *rows = db().Rows(sql);
      return true;
    });
  }
  void TearDown() override {
    SetFormsQuery({});
    DatabaseTest::TearDown();
  }

  void Play(const std::string& text) {
    KVTHost host;
    HMODULE module = host.RequestModule("KVTPOS.DLL");
    ASSERT_TRUE(module) << host.LastError();
    auto init = GetProc<int (*)(HINSTANCE)>(module, "Initialize");
    ASSERT_TRUE(init);
    init(host.Instance());
    std::vector<ScriptCommand> script;
    std::string error;
    ASSERT_TRUE(ParseScript(text, &script, &error)) << error;
    std::ostringstream transcript;
    ScriptRunner runner(user, host.MainWindow(), "KVTPOS.DLL", transcript);
    EXPECT_EQ(runner.Run(script), 0) << transcript.str();
    KVTForms::Instance().CloseAll();
    KVTClearQuitPosted();
  }

  KVTHeadlessBackend user;
};

TEST_P(Shift, AWholeShiftEndsWithItsTotalsAndRows) {
  KVTClearPreviewedDocuments();
  Play(kShift);
  ASSERT_FALSE(KVTPreviewedDocuments().empty());
  EXPECT_EQ(KVTPreviewedDocuments().back().title, "Till Close-Out");
}

KVT_ON_BOTH_BACKENDS(Shift);

}  // namespace

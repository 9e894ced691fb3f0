// The inventory module as a save reaches it: the requests a sold line sends,
// in order and to the byte, the notices of each failure, and the wrapper's
// own errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sale/invent.h"
#include "tests/sale/save_fixture.h"

namespace {

using ScriptFn = void (*)(const char*, int, const char*);
using CallsFn = int (*)();
using CallFn = const char* (*)(int);

const char* kWrongVersion =
    "Incorrect version of Kovatel Software Inventory. Please update KVTINV.DLL with the newest "
    "version and try again.";

class InventoryRequests : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    host->modules["KVTINV.DLL"] = "KVTINVREC.DLL";
    HMODULE fake = LoadLibrary("KVTINVREC.DLL");
    ASSERT_TRUE(fake) << LastModuleError();
    script = GetProc<ScriptFn>(fake, "FakeInvBScript");
    calls = GetProc<CallsFn>(fake, "FakeInvBCalls");
    call = GetProc<CallFn>(fake, "FakeInvBCall");
    ASSERT_TRUE(script && calls && call);
    script(nullptr, 0, nullptr);
  }
  void TearDown() override {
    if (script) script(nullptr, 0, nullptr);
    SaveTest::TearDown();
  }
  std::vector<std::string> Calls() {
    std::vector<std::string> out;
    for (int i = 0; i < calls(); ++i) out.push_back(call(i));
    return out;
  }
  bool SellHx(const char* location, const char* qty, const char* cost, const char* amount) {
    told.clear();
    return kvt::sale::SaleStock(host->Window())
        .ReduceQuantity({"HX", location, qty, cost, amount, "77A", "1001", "03152024"}, &told);
  }
  std::vector<std::string> Told() const {
    std::vector<std::string> out;
    for (const kvt::sale::Notice& n : told) out.push_back(n.text + (n.stop ? " (stop)" : ""));
    return out;
  }

  std::vector<kvt::sale::Notice> told;

  ScriptFn script = nullptr;
  CallsFn calls = nullptr;
  CallFn call = nullptr;
};

TEST_P(InventoryRequests, ASoldLineLocksMovesStockDatesAndUnlocksTheItem) {
  // clang-format off
  struct Case { const char* location; const char* qty; const char* cost; const char* amount;
                std::string at; std::string amounts; } cases[] = {  // quantity, the three others, cost, value
      {"02", "2",   "1.60", "5.00",  "02", "-2.00000\t0.00000\t0.00000\t0.00000\t3.20000\t5.00000"},
      {"02", "-2",  "1.60", "-5.00", "02", "2.00000\t0.00000\t0.00000\t0.00000\t-3.20000\t-5.00000"},  // a return
      {"",   "1.5", "",     "3.75",  "01", "-1.50000\t0.00000\t0.00000\t0.00000\t0.00000\t3.75000"},  // the default location
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.location) + " " + c.qty);
    script(nullptr, 0, nullptr);
    EXPECT_TRUE(SellHx(c.location, c.qty, c.cost, c.amount));
    const std::string item = "HX\t" + c.at;
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "GETVERSION|",
                           "LOCKLOCATION|" + item + " +parent +connection",
                           "UPDATEINVENTORY|" + item + "\t" + c.amounts +
                               "\tKVTPOS\tSales\t77A\t1001\t03152024 +parent +connection",
                           "UPDATELASTSALEDATE|" + item + "\t03152024 +parent +connection",
                           "UNLOCKLOCATION|" + item + " +parent +connection",
                       }));
  }
  EXPECT_TRUE(told.empty());
}

TEST_P(InventoryRequests, EachFailureIsToldAndOnlyALockOrVersionFailureStopsTheLine) {
  // clang-format off
  struct Case { const char* failing; int answer; bool result; int requests; std::string told; } cases[] = {
      {"GETVERSION",         0,  false, 1, kWrongVersion},
      {"LOCKLOCATION",       0,  false, 2, "Ref: HX Loc: 02 Qty: 2 **Error locking item**"},
      {"UPDATEINVENTORY",    0,  true,  5, "Ref: HX Loc: 02 Qty: 2 **Error Updating Quantity**"},
      {"UPDATELASTSALEDATE", -1, true,  5, "Ref: HX Loc: 02 Qty: 2 **Error Updating Last Sale Date**"},
      {"UNLOCKLOCATION",     0,  true,  5, "Ref: HX Loc: 02 Qty: 2 **Error unlocking item**"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    script(nullptr, 0, nullptr);
    script(c.failing, c.answer, "the module's reason");
    EXPECT_EQ(SellHx("02", "2", "1.60", "5.00"), c.result);
    EXPECT_EQ(calls(), c.requests);
    EXPECT_EQ(Told(), std::vector<std::string>{c.told});  // information, not stop
  }
  host->modules["KVTINV.DLL"] = "KVTINVNOB.DLL";  // without the request entry
  EXPECT_FALSE(SellHx("02", "2", "1.60", "5.00"));
  EXPECT_EQ(Told(), std::vector<std::string>{kWrongVersion});
}

TEST_P(InventoryRequests, TheWrapperSaysWhatIsMissingAndCutsItsTextToTheBuffer) {
  char text[512] = "";
  KVTInventoryModule inventory(host->Window());
  inventory.SetErrorBuffer(text, sizeof text);
  KVTConnection conn(1);
  EXPECT_EQ(inventory.LockLocation("HX", "01", &conn), 0);
  EXPECT_STREQ(text, "Kovatel Software Inventory module has not been initialized.");
  EXPECT_EQ(inventory.error, 1);
  EXPECT_EQ(inventory.Initialize(), 0);
  EXPECT_STREQ(text, "Kovatel Software Inventory module has not been loaded.");

  host->modules.clear();
  char small[10] = "";
  inventory.SetErrorBuffer(small, sizeof small);
  EXPECT_EQ(inventory.LoadModule(), 0);
  EXPECT_STREQ(small, "Unable to");
  EXPECT_EQ(calls(), 0);
}

TEST_P(InventoryRequests, ActivityTextNamesPackageProgramLinkReferenceAndDate) {
  // clang-format off
  struct Case { const char* text; std::vector<std::string> fields; } cases[] = {  // package, program, link, reference, date
      {"00=KVTPOS\t01=Sales\t02=77A\t03=1001\t04=03152024", {"KVTPOS", "Sales", "77A", "1001", "03152024"}},
      {"04=01012024\t03=R1\t99=ignored", {"", "", "", "R1", "01012024"}},
      {"00=\t01", {"", "", "", "", ""}},
  };
  // clang-format on
  KVTInventoryModule inventory(nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    inventory.SetActivityInfo("00=OLD\t01=OLD\t02=OLD\t03=OLD\t04=OLD");
    inventory.SetActivityInfo(c.text);
    EXPECT_EQ(
        (std::vector<std::string>{inventory.szPackage, inventory.szProgram, inventory.szSourceLink,
                                  inventory.szSourceRef, inventory.szActDate}),
        c.fields);
  }
}

KVT_ON_BOTH_BACKENDS(InventoryRequests);

}  // namespace

// Card and Farm Plan tenders run by the financing and card module (the
// stand-in answers from KVTJD.ini): which forms and prompts the till shows
// with and without it, the card code of an answered type, and tenders paid
// end to end through the keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "payment/financing.h"
#include "payment/pos2.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/query.h"
#include "platform/win/profile.h"
#include "tests/support/till.h"

namespace {

using kvt::test::Strings;

class Financing : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    PVpos2Dlg::FormDecl();
    ASSERT_TRUE(KVTSetToday("06/15/2026"));
    Add(
        {"KVTPOS10 RECNO=1 NEXTSLNUM=1001 NEXTSLLNK=501 USESTNSNUM=F ENTERSREP=F USEPRBK=T "
         "DECFORPRC=2 MAXQTY=9999 MAXAMOUNT=99999 MAXCHRDEPT=3 CASHCUST=CASH CCARDCUST=CASH "
         "PRMPTCCNUM=T"});
    Add({"KVTCOM13 REFERENCE=MAIN LOCATION=01", "KVTINV17 CONFIG10=01",
         "KVTINV1 REFERENCE=P2000 DESCRIPT=Gate INACTIVE=F",
         "KVTINV2 REFERENCE=P2000 LOCATION=01 LISTPRICE=20.00",
         "KVTPRB1 REFERENCE=P2000 LOCATION=01", "KVTFL25 CODE=VISA LOCATION= CARDTYPE=VISA"});
    for (auto [ref, name] : {std::pair{"CASH", "Cash Customer"}, {"1001", "Miller, Alan"}}) {
      Add("KVTAR50", {{"REFERENCE", ref}, {"NAME", name}, {"ISACTIVE", "0"}});
      Add("KVTAR51", {{"REFERENCE", ref}, {"OPENBALFWD", "B"}});
    }
    std::filesystem::remove("KVT32.ini");
    std::filesystem::remove("KVTJD.ini");
    // clang-format off
    for (auto [section, key, value] : {
             std::tuple{"Farm Plan", "Customer", "1001"}, {"Farm Plan", "Name", "Miller, Alan"},
             {"Farm Plan", "Account", "FP-20417"}, {"Farm Plan", "PaymentAmount", "50.00"},
             {"Bank Cards", "CardType", "VISA"}, {"Bank Cards", "CardNumber", "4000123412341111"},
             {"Bank Cards", "Customer", "CASH"}, {"Bank Cards", "Name", "Cash Customer"}})
      // clang-format on
      WritePrivateProfileString(section, key, value, ".\\KVTJD.ini");
    LogIn("MAIN", "06152026");
  }
  // The till with the module installed or not, and the locations that take
  // Farm Plan and bank cards ("" none, "*" all).
  void Open(bool installed, const char* farmPlan, const char* cards) {
    KVTForms::Instance().CloseAll();
    user.Reset();
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTPOS1", {}).ok());
    ASSERT_TRUE(kvt::sql::Run("UPDATE KVTPOS10 SET NEXTSLNUM = '1001'", {}).ok());
    WritePrivateProfileString("KVTJD.DLL", "DllDate", installed ? "06/01/2026" : nullptr,
                              ".\\KVT32.ini");
    WritePrivateProfileString("Farm Plan", "Locations", farmPlan, ".\\KVTJD.ini");
    WritePrivateProfileString("Bank Cards", "Locations", cards, ".\\KVTJD.ini");
    sale = OpenSale();
    ASSERT_TRUE(sale);
  }
  PVpos2Dlg* Pay() { return dynamic_cast<PVpos2Dlg*>(sale->TabWindow()->GetPage(1)); }
  Strings Forms() {
    Strings out;
    for (int i = 0; i < Pay()->GetListCount(IDC_PYMTFORM); ++i)
      out.push_back(Pay()->GetListItem(IDC_PYMTFORM, i).substr(0, 1));
    return out;
  }
  // Picks the form of the list that starts with `form`.
  void Choose(char form) {
    const Strings forms = Forms();
    for (std::size_t i = 0; i < forms.size(); ++i)
      if (forms[i][0] == form) user.SelectItem(IDC_PYMTFORM, static_cast<int>(i));
    user.Key("Enter");
    user.Run();
  }
  std::string Saved(const std::string& columns) {
    std::string out;
    for (const auto& row : db().Rows("SELECT " + columns + " FROM KVTPOS1 ORDER BY RECNO"))
      for (std::size_t i = 0; i < row.size(); ++i) out += (i ? "|" : "") + row[i];
    return out;
  }

  PVpos1Dlg* sale = nullptr;
};

TEST_P(Financing, WithoutTheModuleOrItsLocationTheTillKeysCardsItself) {
  struct Case {
    bool installed;
    const char* farmPlan;
    const char* cards;
    Strings forms;
    bool moduleRanTheCard;  // else the till asks the card number
  } cases[] = {
      {false, "*", "*", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "G"}, false},
      {true, "02", "02", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "G"}, false},
      {true, "01", "02", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "G"}, false},
      {true, "02", "*", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "G"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.installed ? "installed" : "missing") + " " + c.farmPlan + " " +
                 c.cards);
    Open(c.installed, c.farmPlan, c.cards);
    user.Type("P2000").Key("Enter").Key("F10");
    user.Run();
    EXPECT_EQ(Forms(), c.forms);
    Choose('3');
    EXPECT_EQ(db().Count("KVTPOS1"), c.moduleRanTheCard ? 1 : 0);
    if (!c.moduleRanTheCard) {
      EXPECT_EQ(Pay()->GetFocusField(), IDC_PI2);
    }
  }
}

TEST_P(Financing, AnAnsweredCardTypeFallsBackToTheRowsForAnyLocationOrType) {
  using Row = std::pair<const char*, const char*>;  // location, card type
  struct Case {
    std::vector<Row> rows;
    const char* code;
  } cases[] = {
      {{{"01", "MC"}, {"01", ""}, {"", "MC"}, {"", ""}, {"02", "MC"}}, "01/MC"},
      {{{"01", ""}, {"", "MC"}, {"", ""}, {"01", "VISA"}}, "01/"},
      {{{"", "MC"}, {"", ""}, {"02", "MC"}}, "/MC"},
      {{{"", ""}, {"02", ""}}, "/"},
      {{{"02", "MC"}, {"01", "VISA"}}, ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTFL25", {}).ok());
    for (const Row& r : c.rows)
      Add("KVTFL25", {{"CODE", std::string(r.first) + "/" + r.second},
                      {"LOCATION", r.first},
                      {"CARDTYPE", r.second}});
    std::string code = "unset", error;
    ASSERT_TRUE(kvt::payment::CardCode("01", "MC", &code, &error)) << error;
    EXPECT_EQ(code, c.code);
  }
}

TEST_P(Financing, ModuleTendersArePaidEndToEnd) {
  const char* columns =
      "TRANSTYPE,PYMTMETHOD,CUSTREF,CREDITAMT,CREDITRET,CCTYPE,CCNUMBER,CCAUTHNUM,FPAMT,FPRET,"
      "FPCASHPAY,FPACCNUM,FPAUTHNUM,INVCTOTAL";
  struct Case {
    const char* name;
    bool onAccount;  // a Farm Plan payment on account instead of a sale
    char form;
    const char* saved;
  } cases[] = {
      {"card", false, '3', "S|3|CASH|20.00||VISA|****************|T001001||||||20.00"},
      {"card return", false, '9', "S|9|CASH||-20.00|VISA|****************|T001001||||||-20.00"},
      {"Farm Plan", false, 'A', "S|A|1001||||||20.00|||FP-20417|T001001|20.00"},
      {"Farm Plan return", false, 'B', "H|B|1001|||||||-20.00||FP-20417|T001001|20.00"},
      {"Farm Plan payment", true, '1', "P|1|1001||||||||50.00|FP-20417|T001001|50.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(true, "*", "*");
    if (c.onAccount)
      user.Answer(IDYES).Key("F8");
    else
      user.Type("P2000").Key("Enter").Key("F10");
    user.Run();
    Choose(c.form);
    EXPECT_EQ(Saved(columns), c.saved);
    ASSERT_FALSE(user.Messages().empty());
    EXPECT_EQ(user.Messages().back().caption, "Approved");
    ExpectNoFailures();
  }
}

KVT_ON_BOTH_BACKENDS(Financing);

}  // namespace

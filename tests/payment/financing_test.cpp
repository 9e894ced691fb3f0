// Card and Farm Plan tenders run by the financing and card module (the
// stand-in answers from KVTJD.ini), paid through the keys, and the card code
// of an answered card type.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "payment/financing.h"
#include "payment/pos2.h"
#include "platform/sql/query.h"
#include "platform/win/profile.h"
#include "tests/support/till.h"

namespace {

class Financing : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    PVpos2Dlg::FormDecl();
    ASSERT_TRUE(KVTSetToday("06/15/2026"));
    Add(
        {"KVTPOS10 RECNO=1 NEXTSLNUM=1001 ENTERSREP=F USEPRBK=T DECFORPRC=2 MAXQTY=9999 "
         "MAXAMOUNT=99999 MAXCHRDEPT=3 CASHCUST=CASH CCARDCUST=CASH PRMPTCCNUM=T",
         "KVTCOM13 REFERENCE=MAIN LOCATION=01", "KVTINV17 CONFIG10=01",
         "KVTINV1 REFERENCE=P2000 DESCRIPT=Gate INACTIVE=F",
         "KVTINV2 REFERENCE=P2000 LOCATION=01 LISTPRICE=20.00",
         "KVTPRB1 REFERENCE=P2000 LOCATION=01",
         "KVTAR50 REFERENCE=CASH NAME='Cash Customer' ISACTIVE=0", "KVTAR51 REFERENCE=CASH",
         "KVTAR50 REFERENCE=1001 NAME='Miller, Alan' ISACTIVE=0", "KVTAR51 REFERENCE=1001",
         "KVTFL25 CODE=VISA LOCATION='' CARDTYPE=VISA"});
    for (const char* file : {"KVT32.ini", "KVTJD.ini"}) std::filesystem::remove(file);
    // clang-format off
    for (auto [section, key, value] : {
             std::tuple{"Farm Plan", "Customer", "1001"}, {"Farm Plan", "Name", "Miller, Alan"},
             {"Farm Plan", "Account", "FP-20417"}, {"Farm Plan", "PaymentAmount", "50.00"},
             {"Bank Cards", "CardType", "VISA"}, {"Bank Cards", "CardNumber", "4000123412341111"},
             {"Bank Cards", "Customer", "CASH"}, {"Bank Cards", "Name", "Cash Customer"}})
      WritePrivateProfileString(section, key, value, ".\\KVTJD.ini");
    // clang-format on
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
  // The first characters of the forms offered ("123456789G").
  std::string Forms() {
    std::string out;
    for (int i = 0; i < Pay()->GetListCount(IDC_PYMTFORM); ++i)
      out += Pay()->GetListItem(IDC_PYMTFORM, i)[0];
    return out;
  }
  void Choose(char form) {
    user.SelectItem(IDC_PYMTFORM, static_cast<int>(Forms().find(form)));
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

TEST_P(Financing, AnAnsweredCardTypeFallsBackToTheRowsForAnyLocationOrType) {
  using Row = std::pair<const char*, const char*>;  // location, card type
  // clang-format off
  struct Case { std::vector<Row> rows; const char* code; } cases[] = {
      {{{"01", "MC"}, {"01", ""}, {"", "MC"}, {"", ""}, {"02", "MC"}}, "01/MC"},
      {{{"01", ""}, {"", "MC"}, {"", ""}, {"01", "VISA"}}, "01/"},
      {{{"", "MC"}, {"", ""}, {"02", "MC"}}, "/MC"},
      {{{"", ""}, {"02", ""}}, "/"},
      {{{"02", "MC"}, {"01", "VISA"}}, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTFL25", {}).ok());
    for (const auto& [location, type] : c.rows)
      Add("KVTFL25", {{"CODE", std::string(location) + "/" + type},
                      {"LOCATION", location},
                      {"CARDTYPE", type}});
    std::string code = "unset", error;
    ASSERT_TRUE(kvt::payment::CardCode("01", "MC", &code, &error)) << error;
    EXPECT_EQ(code, c.code);
  }
}

// A tender of `form` with the module missing or installed, and the
// locations that take Farm Plan and bank cards: the forms offered, then the
// sale saved from the module's answer, or (saved "") the card number asked
// by the till.
TEST_P(Financing, TendersGoToTheModuleWhereItTakesThem) {
  const char* columns =
      "TRANSTYPE,PYMTMETHOD,CUSTREF,CREDITAMT,CREDITRET,CCTYPE,CCNUMBER,CCAUTHNUM,FPAMT,FPRET,"
      "FPCASHPAY,FPACCNUM,FPAUTHNUM,INVCTOTAL";
  // onAccount: a Farm Plan payment on account instead of a sale.
  // clang-format off
  struct Case { bool installed; const char *farmPlan, *cards; bool onAccount; char form; const char *forms, *saved; } cases[] = {
      {false, "*", "*", false, '3', "123456789G", ""},
      {true, "02", "02", false, '3', "123456789G", ""},
      {true, "01", "02", false, '3', "123456789ABG", ""},
      {true, "02", "*", false, '3', "123456789G", "S|3|CASH|20.00||VISA|****************|T001001||||||20.00"},
      {true, "*", "*", false, '9', "123456789ABG", "S|9|CASH||-20.00|VISA|****************|T001001||||||-20.00"},
      {true, "*", "02", false, 'A', "123456789ABG", "S|A|1001||||||20.00|||FP-20417|T001001|20.00"},
      {true, "*", "*", false, 'B', "123456789ABG", "H|B|1001|||||||-20.00||FP-20417|T001001|20.00"},
      {true, "*", "*", true, '1', "12", "P|1|1001||||||||50.00|FP-20417|T001001|50.00"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.installed ? "installed " : "missing ") + c.farmPlan + " " + c.cards +
                 " " + c.form);
    Open(c.installed, c.farmPlan, c.cards);
    if (c.onAccount)
      user.Answer(IDYES).Key("F8");
    else
      user.Type("P2000").Key("Enter").Key("F10");
    user.Run();
    EXPECT_EQ(Forms(), c.forms);
    Choose(c.form);
    EXPECT_EQ(Saved(columns), c.saved);
    if (!*c.saved) {
      EXPECT_EQ(Pay()->GetFocusField(), IDC_PI2);
    } else {
      ASSERT_FALSE(user.Messages().empty());
      EXPECT_EQ(user.Messages().back().caption, "Approved");
    }
    for (const std::string& f : user.Failures()) ADD_FAILURE() << f;
  }
}

KVT_ON_BOTH_BACKENDS(Financing);

}  // namespace

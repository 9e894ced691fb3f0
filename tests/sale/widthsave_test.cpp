// A description keyed to the width of the sale screen's field, its last
// character accented or an emoji, reaches the database whole: typed into the
// 30-byte field, carried by the line and saved, on both databases.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/textwidth.h"
#include "sale/pos1.h"
#include "tests/sale/save_fixture.h"

namespace {

class WidthSave : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    AddStock("HX", "10");
  }
  // A fresh sale screen for each sale.
  void Open() {
    dlg = OpenSaleScreen();
    ASSERT_FALSE(HasFailure());
  }
  void TearDown() override {
    dlg.reset();
    SaveTest::TearDown();
  }
  std::unique_ptr<PVpos1Dlg> dlg;
};

TEST_P(WidthSave, AnAccentOrEmojiAtTheFieldsWidthIsSavedWhole) {
  const std::string a26(26, 'a'), e = "\xC3\xA9", cow = "\xF0\x9F\x90\x84";
  // clang-format off
  struct Case { std::string typed, saved; } cases[] = {
      {a26 + "aaa" + e, a26 + "aaa"},  {a26 + "aa" + e, a26 + "aa" + e},
      {a26 + "a" + cow, a26 + "a"},    {a26 + cow, a26 + cow},
      {a26 + e + e + "x", a26 + e + e}, {e + e + e + cow + a26, e + e + e + cow + std::string(20, 'a')}};
  // clang-format on
  for (const Case& c : cases) {
    Open();
    dlg->UnprotectField(IDC_IDESCR);
    ASSERT_TRUE(dlg->KVTSetFieldFocus(IDC_IDESCR));
    dlg->UserType(c.typed);
    EXPECT_EQ(dlg->GetFieldText(IDC_IDESCR), c.saved) << "on the screen";
    dlg->DoScrToApp(IDC_IDESCR);
    kvt::sale::Line line = SoldLine("HX", "1", "2.00", "2.00");
    line.description = dlg->Data.IDESCR;
    dlg->PutSaleLine(dlg->SaleGrid().InsertRow(), line);
    PVpos1Dlg::SaleTexts texts;
    ASSERT_TRUE(dlg->SaveOrder("S", "C", texts)) << c.typed;
    EXPECT_EQ(db().Value("SELECT DESCR FROM KVTPOS2 WHERE INVOICELNK = '" +
                         dlg->GetFieldText(IDC_INVOICELNK) + "'"),
              c.saved);
    EXPECT_TRUE(user.Messages().empty()) << user.Messages().front().text;
  }
}

KVT_ON_BOTH_BACKENDS(WidthSave);

}  // namespace

// The POS configuration screen: every column on one of six tabs, values
// checked before a save, and a save that writes every tab.
#include "setup/config.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/forms/frames.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsqladmin.h"
#include "schema/schema.h"
#include "shell/globals.h"
#include "shell/windll.h"
#include "suite/host/host.h"
#include "tests/support/till.h"

namespace {

TEST(ConfigColumns, EveryColumnOfTheRecordIsOnExactlyOneTab) {
  const kvt::schema::Table* table = kvt::schema::FindTable("KVTPOS10");
  ASSERT_NE(table, nullptr);
  std::set<std::string> shown;
  for (const KVTConfigColumn& c : KVTConfigColumns()) {
    EXPECT_TRUE(shown.insert(c.column).second) << c.column << " twice";
    EXPECT_NE(table->Column(c.column), nullptr) << c.column;
    EXPECT_TRUE(c.tab >= 1 && c.tab <= 6) << c.column;
  }
  std::set<std::string> notShown = {"STORE", "TILLREF",   "SLSMAN",
                                    "RECNO", "NEXTSLNUM", "NEXTSLLNK"};
  for (const auto& col : table->columns)
    EXPECT_NE(shown.count(col.name) + notShown.count(col.name), 0u) << col.name << " on no tab";
  for (int tab = 1; tab <= 6; ++tab)
    EXPECT_TRUE(std::any_of(KVTConfigColumns().begin(), KVTConfigColumns().end(),
                            [tab](const KVTConfigColumn& c) { return c.tab == tab; }))
        << "tab " << tab;
}

TEST(ConfigColumns, FlagsAreTOrFAndNumbersAreNumbers) {
  // clang-format off
  struct Case { const char* column; const char* value; const char* bad; } cases[] = {
      {"UPDATEQOH", "T", ""}, {"UPDATEQOH", " F ", ""}, {"UPDATEQOH", "Y", "UPDATEQOH"},
      {"UPDATEQOH", "", "UPDATEQOH"}, {"UPDATEQOH", "t", "UPDATEQOH"},
      {"MAXQTY", "999.5", ""}, {"MAXQTY", "", ""}, {"MAXQTY", "-3", ""},
      {"MAXQTY", "12a", "MAXQTY"}, {"MAXQTY", "1e3", "MAXQTY"}, {"MAXQTY", ".", "MAXQTY"},
      {"MAXQTY", "nan", "MAXQTY"}, {"STAXAUTH", "any text", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    KVTConfigValues values;
    for (const KVTConfigColumn& col : KVTConfigColumns())
      values[col.column] = col.kind == KVTConfigKind::Flag ? "F" : "";
    values[c.column] = c.value;
    std::string message;
    EXPECT_EQ(KVTPOSConfigRecord::Check(values, &message), c.bad) << c.column << "=" << c.value;
    if (*c.bad) {
      EXPECT_NE(message, "") << c.column;
    }
  }
}

class POSConfig : public kvt::test::TillTest {
 protected:
  Tbacktab* Open() {
    DoPOSConfig(host->MainWindow());
    PVmdiwinDlg* frame = KVTForms::Instance().ActiveFrame();
    return frame ? dynamic_cast<Tbacktab*>(frame->Client()) : nullptr;
  }
  KVTConfigPage* Page(Tbacktab* tabs, int i) {
    return dynamic_cast<KVTConfigPage*>(tabs->GetPage(i));
  }
  // Every flag "F", every number "1", every text "X" on every tab.
  void FillAll(Tbacktab* tabs) {
    for (int i = 0; i < 6; ++i)
      for (const KVTConfigColumn& c : KVTConfigColumns())
        if (int id = Page(tabs, i)->FieldOf(c.column))
          Page(tabs, i)->SetFieldText(id, c.kind == KVTConfigKind::Flag     ? "F"
                                          : c.kind == KVTConfigKind::Number ? "1"
                                                                            : "X");
  }
};

TEST_P(POSConfig, SixTabsSaveTheWholeRecordMadeWhenMissing) {
  Tbacktab* tabs = Open();
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->GetTabCount(), 6);
  FillAll(tabs);
  Page(tabs, 1)->SetFieldText(Page(tabs, 1)->FieldOf("MAXQTY"), "250");
  Page(tabs, 5)->SetFieldText(Page(tabs, 5)->FieldOf("USEBATCHES"), "T");
  ASSERT_TRUE(Page(tabs, 0)->Cmidc_save());
  EXPECT_TRUE(user.Messages().empty());
  EXPECT_EQ(db().Value("SELECT MAXQTY FROM KVTPOS10 WHERE STORE = '' AND RECNO = 1"), "250");
  EXPECT_EQ(db().Value("SELECT USEBATCHES FROM KVTPOS10 WHERE RECNO = 1"), "T");
  EXPECT_EQ(db().Count("KVTPOS10"), 1);

  // Open again: the values read back; a save keeps the one record.
  tabs = Open();
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(Page(tabs, 1)->GetFieldText(Page(tabs, 1)->FieldOf("MAXQTY")), "250");
  ASSERT_TRUE(Page(tabs, 4)->Cmidc_save());
  EXPECT_EQ(db().Count("KVTPOS10"), 1);
}

TEST_P(POSConfig, ABadValueShowsItsTabAndSavesNothing) {
  ASSERT_TRUE(db().Add("KVTPOS10", {{"STORE", ""}, {"MAXQTY", "99"}, {"RECNO", "1"}}));
  Tbacktab* tabs = Open();
  ASSERT_NE(tabs, nullptr);
  FillAll(tabs);
  Page(tabs, 1)->SetFieldText(Page(tabs, 1)->FieldOf("MAXQTY"), "5");
  KVTConfigPage* printing = Page(tabs, 4);
  printing->SetFieldText(printing->FieldOf("PRTINV"), "Y");
  EXPECT_FALSE(Page(tabs, 0)->Cmidc_save());
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text, "Allow Printing Invoices must be T or F.");
  EXPECT_EQ(tabs->GetSelectedTab(), 4);
  EXPECT_EQ(printing->GetFocusField(), printing->FieldOf("PRTINV"));
  EXPECT_EQ(db().Value("SELECT MAXQTY FROM KVTPOS10 WHERE RECNO = 1"), "99");
}

KVT_ON_BOTH_BACKENDS(POSConfig);

}  // namespace

// The pick lists: column descriptions, the named configurations and the
// search window driven by the scripted user over a fake query.
#include <gtest/gtest.h>

#include <set>

#include "tests/platform/forms/forms_fixture.h"

namespace {

TEST(SearchColumns, ParsesGroupsOfFour) {
  std::vector<KVTSearchColumn> cols;
  ASSERT_TRUE(ParseSearchColumns("REFERENCE, Reference,25,0,DESCRIPT, Description, 30,0", &cols));
  ASSERT_EQ(cols.size(), 2u);
  EXPECT_EQ(cols[0].name, "REFERENCE");
  EXPECT_EQ(cols[0].title, "Reference");
  EXPECT_EQ(cols[1].title, "Description");
  EXPECT_EQ(cols[1].width, 30);
  EXPECT_EQ(cols[1].flag, 0);
  for (const char* bad : {"", "TILLNUM, Till Reference,25", "A,a,x,0", "A,a,1,0,B", "A,a,1,y"}) {
    cols.clear();
    EXPECT_FALSE(ParseSearchColumns(bad, &cols)) << bad;
    EXPECT_TRUE(cols.empty()) << bad;
  }
}

TEST(SearchConfigs, EveryConfigurationIsComplete) {
  std::set<std::string> names;
  for (const KVTSearchConfig& c : SearchConfigs()) {
    std::vector<KVTSearchColumn> cols;
    EXPECT_TRUE(ParseSearchColumns(c.columns, &cols)) << c.search;
    EXPECT_TRUE(names.insert(c.search).second) << c.search;
    EXPECT_NE(std::string(c.select).find("RECNO) FROM"), std::string::npos) << c.search;
  }
  for (const char* used : {"CUSTREFSRCH", "CUSTNAMESRCH", "CUSTPHONESRCH", "CCTYPESRCH", "TAXSRCH",
                           "POS1SRCH", "ARBATCHSRCH", "STOREREFSRCH"})
    EXPECT_NE(FindSearchConfig(used), nullptr) << used;
  EXPECT_EQ(FindSearchConfig("custrefsrch"), FindSearchConfig("CUSTREFSRCH"));
}

TEST(SearchConfigs, FilterJoinsTheConfigurationsOwnCondition) {
  // clang-format off
  struct Case { const char* search; const char* filter; const char* order; const char* want; } cases[] = {
      {"CCTYPESRCH", " WHERE (LOCATION = 'A' OR LOCATION = '' OR LOCATION IS NULL)", "", "SELECT CODE,CARDTYPE,LOCATION,STR(RECNO) FROM KVTFL25 WHERE (LOCATION = 'A' OR LOCATION = '' OR LOCATION IS NULL) ORDER BY CODE"},
      {"CUSTREFSRCH", "", "", "SELECT REFERENCE,NAME,CITY,STATE,STR(RECNO) FROM KVTAR50 WHERE ISACTIVE = 0 ORDER BY REFERENCE"},
      {"CUSTREFSRCH", " where CITY = 'Ames'", "", "SELECT REFERENCE,NAME,CITY,STATE,STR(RECNO) FROM KVTAR50 WHERE (ISACTIVE = 0) AND (CITY = 'Ames') ORDER BY REFERENCE"},
      {"POS1SRCH", " WHERE STATUS <> 'S' AND TRANSTYPE <> 'N'", "INVDATE DESC, RECNO DESC", "SELECT INVOICENUM,INVDATE,TILLREF,CUSTREF,CUSTNAME,INVCTOTAL,STR(RECNO) FROM KVTPOS1 WHERE STATUS <> 'S' AND TRANSTYPE <> 'N' ORDER BY INVDATE DESC, RECNO DESC"},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(SimpleSearchSQL(*FindSearchConfig(c.search), c.filter, c.order), c.want);
  }
}

class SearchWindow : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    SetFormsQuery([this](const std::string& sql, std::vector<std::vector<std::string>>* out) {
      asked.push_back(sql);
      *out = rows;
      return ok;
    });
  }
  int Search(KVTSearchResult* result, const char* start = "") {
    return SearchWin(host, 0, result, "STOREREF,Store,10,0,DESCRIPT,Name,20,0",
                     "SELECT STOREREF,DESCRIPT,STR(RECNO) FROM STORES", "Stores", start);
  }
  std::vector<std::vector<std::string>> rows = {
      {"AMES", "Ames Farm Supply", "11"}, {"BOONE", "Boone Feed", "12"}, {"BRITT", "Britt", "13"}};
  std::vector<std::string> asked;
  bool ok = true;
};

TEST_F(SearchWindow, TypingFindsTheRowAndEnterChoosesIt) {
  Queue({"type bri", "key Enter"});
  KVTSearchResult result;
  EXPECT_EQ(Search(&result), 1);
  EXPECT_EQ(result.values, (std::vector<std::string>{"BRITT", "Britt", "13"}));
  EXPECT_EQ(result.Recno(), 13);
  EXPECT_EQ(asked, std::vector<std::string>{"SELECT STOREREF,DESCRIPT,STR(RECNO) FROM STORES"});
  // The start value finds a row, and the cursor keys move from it.
  Queue({"key Up", "click Select"});
  EXPECT_EQ(Search(&result, "bo"), 1);
  EXPECT_EQ(result.Value(0), "AMES");
  // Esc chooses nothing.
  Queue({"key Down", "key Esc"});
  KVTSearchResult none;
  EXPECT_EQ(Search(&none), 0);
  EXPECT_TRUE(none.values.empty());
  EXPECT_TRUE(user.Failures().empty());
}

TEST_F(SearchWindow, ADoubleClickChoosesTheRow) {
  user.Do([] { EXPECT_TRUE(KVTForms::Instance().DoubleClickRow(KVTSearchDlg::IDC_LIST, 1)); });
  KVTSearchResult result;
  EXPECT_EQ(Search(&result), 1);
  EXPECT_EQ(result.Value(0), "BOONE");
  EXPECT_TRUE(user.Failures().empty());
}

TEST_F(SearchWindow, TheListIsDrawnWithItsTitlesAndRows) {
  std::string drawn;
  user.Do([&] { drawn = user.Render(); }).Key("Esc");
  KVTSearchResult result;
  Search(&result);
  EXPECT_NE(drawn.find("Stores"), std::string::npos) << drawn;
  EXPECT_NE(drawn.find("Store     |Name"), std::string::npos) << drawn;
  EXPECT_NE(drawn.find(" >AMES      |Ames Farm Supply"), std::string::npos) << drawn;
  EXPECT_EQ(drawn.find("11"), std::string::npos) << "the record number is not shown\n" << drawn;
}

TEST_F(SearchWindow, NoRowsOrAFailedQueryTellTheUser) {
  rows.clear();
  KVTSearchResult result;
  EXPECT_EQ(Search(&result), 0);
  ok = false;
  EXPECT_EQ(Search(&result), 0);
  SetFormsQuery({});
  EXPECT_EQ(Search(&result), 0);
  ASSERT_EQ(user.Messages().size(), 3u);
  EXPECT_EQ(user.Messages()[0].text, "No matching records were found.");
  EXPECT_EQ(user.Messages()[0].caption, "Stores");
  EXPECT_EQ(user.Messages()[1].text, "The list could not be read.");
  EXPECT_EQ(user.Messages()[1].caption, "Error");
  EXPECT_EQ(user.Messages()[2].text, "The list could not be read.");
}

TEST_F(SearchWindow, SimpleSearchRunsTheConfiguration) {
  Queue({"key Enter"});
  KVTSearchResult result;
  EXPECT_EQ(KVTSimpleSearch(host, "CCTYPESRCH", "CCTYPEFMT", &result,
                            " WHERE (LOCATION = 'A' OR LOCATION = '' OR LOCATION IS NULL)"),
            1);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0],
            SimpleSearchSQL(*FindSearchConfig("CCTYPESRCH"),
                            " WHERE (LOCATION = 'A' OR LOCATION = '' OR LOCATION IS NULL)", ""));
  EXPECT_EQ(result.Value(0), "AMES");

  EXPECT_EQ(KVTSimpleSearch(host, "CCTYPESRCH", "TAXFMT", &result), 0);
  EXPECT_EQ(KVTSimpleSearch(host, "NOSUCHSRCH", "", &result), 0);
  EXPECT_EQ(asked.size(), 1u);
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_EQ(user.Messages()[0].text, "Unknown search configuration CCTYPESRCH/TAXFMT.");
  EXPECT_EQ(user.Messages()[1].text, "Unknown search configuration NOSUCHSRCH.");
}

}  // namespace

// The grid: rows and cells, the access row, current row and selection,
// hidden columns, colours and marks.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/forms/datatbl.h"

namespace {

TDataTbl MakeGrid() {
  KVTFieldDecl f;
  f.Column("Reference", 17);
  f.Column("Description", 31);
  f.Column("Recno", 16).Hidden();
  f.Column("FS", 2, 2);
  return TDataTbl(106, f.columns);
}

// Appends rows whose first cell is each text.
void Fill(TDataTbl& g, const std::vector<std::string>& refs) {
  for (const std::string& r : refs) {
    g.InsertRow();
    g.UpdateCell(0, r);
  }
}

std::vector<std::string> Column0(const TDataTbl& g) {
  std::vector<std::string> out;
  for (int r = 0; r < g.GetRowCount(); ++r) out.push_back(g.GetCell(0, r));
  return out;
}

TEST(DataTbl, InsertAppendsOrPlacesAndBecomesTheAccessRow) {
  // clang-format off
  struct Case { int at; std::vector<std::string> want; } cases[] = {
      {KVT_NONE, {"A", "B", "C", "new"}}, {0, {"new", "A", "B", "C"}}, {2, {"A", "B", "new", "C"}},
      {3, {"A", "B", "C", "new"}}, {99, {"A", "B", "C", "new"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    TDataTbl g = MakeGrid();
    Fill(g, {"A", "B", "C"});
    int row = g.InsertRow(c.at);
    EXPECT_EQ(g.GetAccessRow(), row);
    g.UpdateCell(0, "new");
    EXPECT_EQ(Column0(g), c.want) << "insert at " << c.at;
  }
}

TEST(DataTbl, ReadAndUpdateCellsThroughTheAccessRow) {
  TDataTbl g = MakeGrid();
  Fill(g, {"A", "B"});
  ASSERT_TRUE(g.SetAccessPos(1, 0));
  EXPECT_TRUE(g.UpdateCell(1, "Fence post"));
  char buf[32];
  EXPECT_EQ(g.ReadCell(1, buf), 10);
  EXPECT_STREQ(buf, "Fence post");
  char small[6];
  g.ReadCell(1, small);
  EXPECT_STREQ(small, "Fence");        // cut to the caller's buffer, terminated
  EXPECT_FALSE(g.SetAccessPos(0, 2));  // no such row: the access row stays
  EXPECT_EQ(g.ReadCell(0), "A");
  EXPECT_FALSE(g.UpdateCell(9, "x"));  // no such column
  EXPECT_EQ(g.GetCell(9, 0), "");
  EXPECT_EQ(g.GetCell(0, -1), "");
}

TEST(DataTbl, CellsHoldTheirDataLengthLessTheTerminator) {
  TDataTbl g = MakeGrid();
  Fill(g, {"123456789012345678901"});
  EXPECT_EQ(g.GetColDatalen(0), 18);  // width 17, no length given: width + 1
  EXPECT_EQ(g.GetCell(0, 0), "12345678901234567");
  g.SetCell(3, 0, "YES");
  EXPECT_EQ(g.GetCell(3, 0), "Y");
  // A hidden column keeps its cells.
  g.SetCell(2, 0, "1001");
  EXPECT_EQ(g.GetCell(2, 0), "1001");
}

TEST(DataTbl, DeleteKeepsCurrentAndSelectionOnTheirRows) {
  // clang-format off
  struct Case { int del; int selBefore; std::vector<std::string> left; int selAfter; } cases[] = {
      {0, 2, {"B", "C", "D"}, 1},
      {2, 2, {"A", "B", "D"}, KVT_NONE},
      {3, 1, {"A", "B", "C"}, 1},
  };
  // clang-format on
  for (const Case& c : cases) {
    TDataTbl g = MakeGrid();
    Fill(g, {"A", "B", "C", "D"});
    g.SelRow(c.selBefore);
    EXPECT_TRUE(g.DeleteRow(c.del));
    EXPECT_EQ(Column0(g), c.left);
    EXPECT_EQ(g.GetSelRow(), c.selAfter) << "delete " << c.del;
    if (c.selAfter != KVT_NONE) {
      EXPECT_EQ(g.GetCell(0, g.GetSelRow()), g.GetCell(0, g.GetCurRow()));
    }
  }
  TDataTbl g = MakeGrid();
  Fill(g, {"A", "B"});
  g.SetCurCell(0, 1);
  g.DeleteRow(1);
  EXPECT_EQ(g.GetCurRow(), 0);  // past the end: the last row
  EXPECT_FALSE(g.DeleteRow(5));
  EXPECT_EQ(g.GetRowCount(), 1);
}

// Current, selected and top row as one text.
std::string Rows(const TDataTbl& g) {
  return std::to_string(g.GetCurRow()) + " " + std::to_string(g.GetSelRow()) + " " +
         std::to_string(g.GetTopRow());
}

TEST(DataTbl, SelectionNoneAndCurrentRowAndResetEmptiesEverything) {
  const std::string none = std::to_string(KVT_NONE);
  TDataTbl g = MakeGrid();
  EXPECT_EQ(Rows(g), none + " " + none + " 0");
  Fill(g, {"A", "B", "C"});
  EXPECT_EQ(Rows(g), "0 " + none + " 0");
  EXPECT_TRUE(g.SelRow(2));
  EXPECT_EQ(Rows(g), "2 2 0");
  EXPECT_TRUE(g.SelRow(KVT_NONE));
  EXPECT_EQ(Rows(g), "2 " + none + " 0");
  EXPECT_FALSE(g.SelRow(3));
  EXPECT_FALSE(g.SetCurCell(0, 3));
  g.InsertRow(0);  // a row before the current one moves it down
  EXPECT_EQ(g.GetCurRow(), 3);
  g.SelRow(1);
  g.SetTopRow(2);
  g.ResetData();
  EXPECT_EQ(Rows(g), none + " " + none + " 0");
  EXPECT_EQ(g.GetRowCount(), 0);
  EXPECT_EQ(g.ReadCell(0), "");
  EXPECT_EQ(g.GetColCount(), 4);  // the columns stay
}

TEST(DataTbl, RowColoursAndMarksFollowTheirRows) {
  KVTFieldDecl f;
  f.MarkColumn();
  f.Column("Store", 10);
  TDataTbl g(106, f.columns);
  EXPECT_EQ(g.MarkColumn(), 0);
  Fill(g, {"", "", ""});
  HBITMAP check = LoadBitmap(nullptr, "SCHECK");
  EXPECT_EQ(check, LoadBitmap(nullptr, "SCHECK"));
  g.SetRowMark(1, check);
  g.SetRowColor(1, KVT_YELLOW);
  g.DeleteRow(0);
  EXPECT_EQ(std::tuple(g.GetRowMark(0), g.GetRowColor(0)), std::tuple(check, KVT_YELLOW));
  EXPECT_EQ(std::tuple(g.GetRowMark(1), g.GetRowColor(1)),
            std::tuple(HBITMAP{}, KVT_DEFAULT_COLOR));
  EXPECT_FALSE(g.SetRowMark(5, check));
}

TEST(DataTbl, TopRowStaysInsideTheRows) {
  TDataTbl g = MakeGrid();
  Fill(g, std::vector<std::string>(16, "x"));
  for (auto [set, top] : {std::pair{1, 1}, {-3, 0}, {40, 15}}) {
    g.SetTopRow(set);
    EXPECT_EQ(g.GetTopRow(), top) << set;
  }
  g.DeleteRow(15);
  EXPECT_EQ(g.GetTopRow(), 14);
}

// The reference column holds 17 bytes: a character across the edge is left
// out whole, in the cell and in the caller's buffer.
TEST(DataTbl, CellsAndBuffersKeepWholeCharacters) {
  // clang-format off
  struct Case { const char* typed; const char* cell; const char* inSix; } cases[] = {
      {"1234567890123456\xC3\xA9", "1234567890123456", "12345"},
      {"123456789012345\xC3\xA9", "123456789012345\xC3\xA9", "12345"},
      {"1234\xF0\x9F\x90\x84", "1234\xF0\x9F\x90\x84", "1234"},
      {"1\xF0\x9F\x90\x84", "1\xF0\x9F\x90\x84", "1\xF0\x9F\x90\x84"}};
  // clang-format on
  for (const auto& c : cases) {
    TDataTbl g = MakeGrid();
    Fill(g, {c.typed});
    EXPECT_EQ(g.GetCell(0, 0), c.cell);
    char six[6];
    g.ReadCell(0, six);
    EXPECT_STREQ(six, c.inSix) << c.typed;
  }
}

}  // namespace

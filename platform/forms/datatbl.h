// The grid of a screen: rows of text cells addressed by column and row
// (both from 0), with hidden columns, a current row and column, a selected
// row ("none" is KVT_NONE), row colours and a status mark per row.
//
// Cells hold at most their column's data length less one characters (the
// data length includes the terminator, as the buffers do); longer text is cut.
// Out-of-range addresses read as empty and change nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/form.h"

class KVTScreen;

class KVT_EXPORT TDataTbl {
 public:
  TDataTbl(int id, std::vector<KVTColumnDecl> columns, KVTScreen* owner = nullptr);

  int GetId() const { return id_; }

  // The row that ReadCell and UpdateCell use. False (nothing changes) when
  // the row does not exist.
  bool SetAccessPos(int col, int row);
  int GetAccessRow() const { return accessRow_; }
  // Copies the cell of the access row into `buf` (always terminated); returns
  // the characters copied.
  int ReadCell(int col, char* buf, std::size_t size) const;
  template <std::size_t N>
  int ReadCell(int col, char (&buf)[N]) const {
    return ReadCell(col, buf, N);
  }
  std::string ReadCell(int col) const;
  bool UpdateCell(int col, const char* text);
  bool UpdateCell(int col, const std::string& text) { return UpdateCell(col, text.c_str()); }
  // Any cell, without moving the access row.
  std::string GetCell(int col, int row) const;
  bool SetCell(int col, int row, const std::string& text);

  // Inserts an empty row before `row`, or appends it when `row` is KVT_NONE
  // or past the end. Returns the new row's index, which becomes the access
  // row (so UpdateCell fills it). The first row of an empty grid becomes the
  // current row.
  int InsertRow(int row = KVT_NONE);
  // Deletes a row; the access, current and selected rows follow their rows
  // (the selection is cleared when its row goes).
  bool DeleteRow(int row);
  int GetRowCount() const { return static_cast<int>(rows_.size()); }
  int GetColCount() const { return static_cast<int>(columns_.size()); }
  int GetColDatalen(int col) const;
  // Empties the grid: no rows, no current row, no selection.
  void ResetData();

  // Change marks, for a reader that keeps what it worked out from the cells
  // and wants to read again only what changed: Revision() grows with every
  // change of a cell or of the rows; RowRevision(row) is the revision at
  // which the row came or one of its cells was last set; LayoutRevision()
  // the last one at which rows moved (deleted, inserted before the end, or
  // all of them dropped).
  std::uint64_t Revision() const { return revision_; }
  std::uint64_t RowRevision(int row) const {
    return ValidRow(row) ? rows_[static_cast<std::size_t>(row)].revision : 0;
  }
  std::uint64_t LayoutRevision() const { return layout_; }

  // The current cell: where the cursor is.
  int GetCurRow() const { return curRow_; }
  int GetCurCol() const { return curCol_; }
  bool SetCurCell(int col, int row);
  // Selects one row, or none with KVT_NONE.
  bool SelRow(int row);
  int GetSelRow() const { return selRow_; }

  // Row background colour (KVT_DEFAULT_COLOR: the grid's own).
  bool SetRowColor(int row, COLORREF color);
  COLORREF GetRowColor(int row) const;
  // The status mark of a row, drawn in the mark column (null: none).
  bool SetRowMark(int row, HBITMAP mark);
  HBITMAP GetRowMark(int row) const;
  int MarkColumn() const;  // KVT_NONE when the grid declares none

  // Columns.
  const std::vector<KVTColumnDecl>& Columns() const { return columns_; }
  void SetColHidden(int col, bool hidden);
  bool IsColHidden(int col) const;
  void SetColWidth(int col, int width);
  void SetColTitle(int col, const std::string& title);

  // The first row shown; kept between 0 and the last row.
  void SetTopRow(int row);
  int GetTopRow() const { return topRow_; }
  // Redraw off while a batch of changes is made; on again redraws once.
  void SetRedraw(bool on);
  bool IsRedrawOn() const { return redraw_; }
  // A read-only grid moves its cursor but takes no typing.
  void SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    Changed();
  }
  bool IsReadOnly() const { return readOnly_; }

 private:
  struct Row {
    std::vector<std::string> cells;
    COLORREF color = KVT_DEFAULT_COLOR;
    HBITMAP mark = nullptr;
    std::uint64_t revision = 0;
  };
  bool ValidRow(int row) const { return row >= 0 && row < GetRowCount(); }
  bool ValidCol(int col) const { return col >= 0 && col < GetColCount(); }
  void Changed();

  int id_;
  std::vector<KVTColumnDecl> columns_;
  KVTScreen* owner_;
  std::vector<Row> rows_;
  int accessRow_ = KVT_NONE;
  int curRow_ = KVT_NONE;
  int curCol_ = 0;
  int selRow_ = KVT_NONE;
  int topRow_ = 0;
  bool redraw_ = true;
  bool readOnly_ = true;
  std::uint64_t revision_ = 0;
  std::uint64_t layout_ = 0;
};

// What a reader last saw of a grid (TDataTbl's change marks).
class TDataTblMark {
 public:
  // The reader can go on from what it saw: the same grid, no rows moved.
  bool Continues(const TDataTbl& grid) const {
    return grid_ == &grid && layout_ == grid.LayoutRevision();
  }
  // The row came or changed since the reader looked.
  bool Changed(const TDataTbl& grid, int row) const { return grid.RowRevision(row) > revision_; }
  // The reader has seen the grid as it is now.
  void Saw(const TDataTbl& grid) {
    grid_ = &grid;
    revision_ = grid.Revision();
    layout_ = grid.LayoutRevision();
  }

 private:
  const TDataTbl* grid_ = nullptr;
  std::uint64_t revision_ = 0;
  std::uint64_t layout_ = 0;
};

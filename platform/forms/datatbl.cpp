// Grid rows, cells, selection and look.
#include "platform/forms/datatbl.h"

#include <algorithm>
#include <cstring>

#include "platform/base/textwidth.h"
#include "platform/forms/runtime.h"
#include "platform/forms/screen.h"

TDataTbl::TDataTbl(int id, std::vector<KVTColumnDecl> columns, KVTScreen* owner)
    : id_(id), columns_(std::move(columns)), owner_(owner) {}

void TDataTbl::Changed() {
  if (redraw_) KVTForms::Instance().Changed(owner_);
}

bool TDataTbl::SetAccessPos(int, int row) {
  if (!ValidRow(row)) return false;
  accessRow_ = row;
  return true;
}

int TDataTbl::ReadCell(int col, char* buf, std::size_t size) const {
  if (!buf || size == 0) return 0;
  return static_cast<int>(KVTCopyText(buf, size, ReadCell(col)));
}

std::string TDataTbl::ReadCell(int col) const {
  return GetCell(col, accessRow_);
}

bool TDataTbl::UpdateCell(int col, const char* text) {
  return SetCell(col, accessRow_, text ? text : "");
}

std::string TDataTbl::GetCell(int col, int row) const {
  if (!ValidRow(row) || !ValidCol(col)) return "";
  return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(col)];
}

bool TDataTbl::SetCell(int col, int row, const std::string& text) {
  if (!ValidRow(row) || !ValidCol(col)) return false;
  // A cell holds what the module's buffer of the column's data length
  // holds, in bytes, cut between characters.
  int len = GetColDatalen(col);
  std::string s = len > 0 ? KVTCut(text, static_cast<std::size_t>(len - 1)) : text;
  Row& r = rows_[static_cast<std::size_t>(row)];
  r.cells[static_cast<std::size_t>(col)] = s;
  r.revision = ++revision_;
  Changed();
  return true;
}

int TDataTbl::GetColDatalen(int col) const {
  if (!ValidCol(col)) return 0;
  const KVTColumnDecl& c = columns_[static_cast<std::size_t>(col)];
  return c.datalen > 0 ? c.datalen : c.width + 1;
}

int TDataTbl::InsertRow(int row) {
  Row r;
  r.cells.resize(columns_.size());
  if (row < 0 || row > GetRowCount()) row = GetRowCount();
  r.revision = ++revision_;
  if (row < GetRowCount()) layout_ = revision_;
  rows_.insert(rows_.begin() + row, std::move(r));
  auto shift = [row](int& at) {
    if (at >= row) ++at;
  };
  shift(curRow_);
  shift(selRow_);
  if (curRow_ == KVT_NONE) curRow_ = 0;
  accessRow_ = row;
  Changed();
  return row;
}

bool TDataTbl::DeleteRow(int row) {
  if (!ValidRow(row)) return false;
  rows_.erase(rows_.begin() + row);
  layout_ = ++revision_;
  int last = GetRowCount() - 1;
  auto follow = [row, last](int& at, bool dropOwn) {
    if (at == KVT_NONE) return;
    if (at == row && dropOwn)
      at = KVT_NONE;
    else if (at > row)
      --at;
    if (at > last) at = last;
  };
  follow(selRow_, true);
  follow(accessRow_, false);
  follow(curRow_, false);
  if (topRow_ > std::max(0, last)) topRow_ = std::max(0, last);
  Changed();
  return true;
}

void TDataTbl::ResetData() {
  rows_.clear();
  layout_ = ++revision_;
  accessRow_ = curRow_ = selRow_ = KVT_NONE;
  curCol_ = 0;
  topRow_ = 0;
  Changed();
}

bool TDataTbl::SetCurCell(int col, int row) {
  if (!ValidRow(row) || !ValidCol(col)) return false;
  curRow_ = row;
  curCol_ = col;
  Changed();
  return true;
}

bool TDataTbl::SelRow(int row) {
  if (row != KVT_NONE && !ValidRow(row)) return false;
  selRow_ = row;
  if (row != KVT_NONE) curRow_ = row;
  Changed();
  return true;
}

bool TDataTbl::SetRowColor(int row, COLORREF color) {
  if (!ValidRow(row)) return false;
  rows_[static_cast<std::size_t>(row)].color = color;
  Changed();
  return true;
}

COLORREF TDataTbl::GetRowColor(int row) const {
  return ValidRow(row) ? rows_[static_cast<std::size_t>(row)].color : KVT_DEFAULT_COLOR;
}

bool TDataTbl::SetRowMark(int row, HBITMAP mark) {
  if (!ValidRow(row)) return false;
  rows_[static_cast<std::size_t>(row)].mark = mark;
  Changed();
  return true;
}

HBITMAP TDataTbl::GetRowMark(int row) const {
  return ValidRow(row) ? rows_[static_cast<std::size_t>(row)].mark : nullptr;
}

int TDataTbl::MarkColumn() const {
  for (int c = 0; c < GetColCount(); ++c)
    if (columns_[static_cast<std::size_t>(c)].mark) return c;
  return KVT_NONE;
}

void TDataTbl::SetColHidden(int col, bool hidden) {
  if (!ValidCol(col)) return;
  columns_[static_cast<std::size_t>(col)].hidden = hidden;
  Changed();
}

bool TDataTbl::IsColHidden(int col) const {
  return ValidCol(col) && columns_[static_cast<std::size_t>(col)].hidden;
}

void TDataTbl::SetColWidth(int col, int width) {
  if (!ValidCol(col)) return;
  columns_[static_cast<std::size_t>(col)].width = width;
  Changed();
}

void TDataTbl::SetColTitle(int col, const std::string& title) {
  if (!ValidCol(col)) return;
  columns_[static_cast<std::size_t>(col)].title = title;
  Changed();
}

void TDataTbl::SetTopRow(int row) {
  topRow_ = std::clamp(row, 0, std::max(0, GetRowCount() - 1));
  Changed();
}

void TDataTbl::SetRedraw(bool on) {
  redraw_ = on;
  Changed();
}

// The pick-list dialog and SearchWin.
#include "platform/forms/search.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>

#include "platform/forms/query.h"

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool ParseInt(const std::string& s, int* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, 10);
  if (*end != '\0') return false;
  *out = static_cast<int>(v);
  return true;
}

}  // namespace

bool ParseSearchColumns(const std::string& description, std::vector<KVTSearchColumn>* columns) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (true) {
    std::size_t comma = description.find(',', at);
    parts.push_back(Trim(description.substr(at, comma - at)));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  if (parts.size() < 4 || parts.size() % 4 != 0) return false;
  std::vector<KVTSearchColumn> out;
  for (std::size_t i = 0; i < parts.size(); i += 4) {
    KVTSearchColumn c;
    c.name = parts[i];
    c.title = parts[i + 1];
    if (!ParseInt(parts[i + 2], &c.width) || !ParseInt(parts[i + 3], &c.flag)) return false;
    out.push_back(c);
  }
  *columns = std::move(out);
  return true;
}

std::string KVTSearchResult::Value(std::size_t index) const {
  return index < values.size() ? values[index] : "";
}

double KVTSearchResult::Recno() const {
  return values.empty() ? 0 : std::strtod(Trim(values.back()).c_str(), nullptr);
}

KVTFormDecl KVTSearchDlg::MakeForm(const std::string& title,
                                   const std::vector<KVTSearchColumn>& columns,
                                   std::size_t hiddenColumns) {
  int width = 4;
  for (const KVTSearchColumn& c : columns) width += std::clamp(c.width, 1, 60) + 1;
  KVTFormDecl form("KVTSearchDlg", title, std::max(width, 40), 18);
  form.Edit(IDC_FIND, "Find : ", 9, 1, 30);
  KVTFieldDecl& grid = form.Grid(IDC_LIST, 2, 3, 12);
  for (const KVTSearchColumn& c : columns) {
    KVTColumnDecl& col = grid.Column(c.title, std::clamp(c.width, 1, 60), 256);
    col.dbColumn = c.name;
    if (c.flag != 0) col.Right();
  }
  for (std::size_t i = 0; i < hiddenColumns; ++i) grid.Column("", 10, 256).Hidden();
  form.Button(IDOK, "&Select", 2, 16);
  form.Button(IDCANCEL, "&Cancel", 14, 16);
  return form;
}

namespace {
std::size_t ExtraColumns(const std::vector<KVTSearchColumn>& columns,
                         const std::vector<std::vector<std::string>>& rows) {
  std::size_t widest = 0;
  for (const auto& r : rows) widest = std::max(widest, r.size());
  return widest > columns.size() ? widest - columns.size() : 0;
}
}  // namespace

KVTSearchDlg::KVTSearchDlg(HWND parent, const std::string& title,
                           const std::vector<KVTSearchColumn>& columns,
                           const std::vector<std::vector<std::string>>& rows,
                           const std::string& start)
    : PVDialog(parent, MakeForm(title, columns, ExtraColumns(columns, rows))),
      rows_(rows),
      start_(start) {}

void KVTSearchDlg::SetupWindow() {
  TDataTbl* grid = Grid(IDC_LIST);
  for (const auto& r : rows_) {
    grid->InsertRow();
    for (std::size_t c = 0; c < r.size(); ++c) grid->UpdateCell(static_cast<int>(c), r[c]);
  }
  SetFieldText(IDC_FIND, start_);
  OnChange(IDC_FIND, [this] { Locate(); });
  OnGridDoubleClick(IDC_LIST, [this](int) { EvCommand(IDOK); });  // a pick list: the row chosen
  Locate();
  KVTSetFieldFocus(IDC_FIND);
}

void KVTSearchDlg::Locate() {
  std::string want = Trim(GetFieldText(IDC_FIND));
  TDataTbl* grid = Grid(IDC_LIST);
  if (want.empty() || grid->GetRowCount() == 0) return;
  for (int r = 0; r < grid->GetRowCount(); ++r) {
    std::string cell = Trim(grid->GetCell(0, r));
    if (strncasecmp(cell.c_str(), want.c_str(), want.size()) == 0) {
      grid->SetCurCell(0, r);
      grid->SetTopRow(r);
      return;
    }
  }
}

bool KVTSearchDlg::PreProcessMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN || GetFocusField() != IDC_FIND) return false;
  switch (msg.wParam) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      // The cursor keys move in the list while the find text is being typed.
      TDataTbl* grid = Grid(IDC_LIST);
      int rows = grid->GetRowCount();
      if (rows == 0) return true;
      int step = msg.wParam == VK_UP ? -1 : msg.wParam == VK_DOWN ? 1 : 0;
      if (msg.wParam == VK_PRIOR) step = -12;
      if (msg.wParam == VK_NEXT) step = 12;
      int row = std::clamp(grid->GetCurRow() + step, 0, rows - 1);
      grid->SetCurCell(grid->GetCurCol(), row);
      if (row < grid->GetTopRow()) grid->SetTopRow(row);
      if (row >= grid->GetTopRow() + 12) grid->SetTopRow(row - 11);
      return true;
    }
    case VK_RETURN:
      EvCommand(IDOK);
      return true;
    default:
      return false;
  }
}

void KVTSearchDlg::CmOk() {
  TDataTbl* grid = Grid(IDC_LIST);
  int row = grid->GetCurRow();
  if (row == KVT_NONE) {
    MessageBeep();
    return;
  }
  chosen_ = rows_[static_cast<std::size_t>(row)];  // the grid keeps the rows in query order
  CloseWindow(IDOK);
}

int SearchWin(HWND parent, int, KVTSearchResult* result, const char* columns, const char* sql,
              const char* title, const char* start) {
  std::string caption = title && *title ? title : "Search";
  std::vector<KVTSearchColumn> cols;
  std::vector<std::vector<std::string>> rows;
  if (!ParseSearchColumns(columns ? columns : "", &cols) || !FormsQuery(sql ? sql : "", &rows)) {
    MessageBox(parent, "The list could not be read.", "Error", MB_OK | MB_ICONSTOP);
    return 0;
  }
  if (rows.empty()) {
    MessageBox(parent, "No matching records were found.", caption.c_str(),
               MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  KVTSearchDlg dlg(parent, caption, cols, rows, start ? start : "");
  if (dlg.Execute() != IDOK) return 0;
  if (result) result->values = dlg.Chosen();
  return 1;
}

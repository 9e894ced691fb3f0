// The table-maintenance screen of the setup stand-ins.
#include "suite/setup/tablemaint.h"

#include <cstdio>

#include "platform/forms/forms.h"
#include "platform/sql/kvtsql.h"

namespace {

enum : int {
  kFirstField = 101,
  kGrid = 200,
  kAdd = 301,
  kChange = 302,
  kDelete = 303,
  kClear = 304,
};

KVTFormDecl MakeForm(const KVTMaintTable& t) {
  int rows = static_cast<int>(t.columns.size());
  KVTFormDecl f(t.className, t.caption, 90, rows + 20);
  int labelWidth = 0;
  for (const auto& c : t.columns) labelWidth = std::max<int>(labelWidth, c.label.size() + 3);
  for (int i = 0; i < rows; ++i) {
    const KVTMaintColumn& c = t.columns[static_cast<std::size_t>(i)];
    f.Edit(kFirstField + i, c.label + " : ", labelWidth + 2, 1 + i, c.width);
  }
  KVTFieldDecl& grid = f.Grid(kGrid, 1, rows + 2, 12);
  for (const auto& c : t.columns) grid.Column(c.label, std::min(c.width, 30), c.width + 1);
  grid.Column("Recno", 12).Hidden();
  f.Button(kAdd, "&Add", 2, rows + 16);
  f.Button(kChange, "&Change", 14, rows + 16);
  f.Button(kDelete, "&Delete", 29, rows + 16);
  f.Button(kClear, "C&lear", 44, rows + 16);
  f.Button(IDCANCEL, "Close", 58, rows + 16);
  return f;
}

class TableMaintenance : public PVMDIDialog {
 public:
  TableMaintenance(HWND parent, const KVTMaintTable& t, std::string presetKey)
      : PVMDIDialog(parent, MakeForm(t)), t_(t), presetKey_(std::move(presetKey)) {
    OnCommand(kAdd, [this] { Save(false); });
    OnCommand(kChange, [this] { Save(true); });
    OnCommand(kDelete, [this] { Delete(); });
    OnCommand(kClear, [this] { Clear(); });
    OnGridClick(kGrid, [this](int row) { ShowRow(row); });
  }

 protected:
  void SetupWindow() override {
    Reload();
    Clear();
    if (!presetKey_.empty()) {
      SetFieldText(KeyField(), presetKey_);
      TDataTbl& g = *Grid(kGrid);
      for (int r = 0; r < g.GetRowCount(); ++r)
        if (g.GetCell(KeyField() - kFirstField, r) == presetKey_) ShowRow(r);
    }
  }

 private:
  int Count() const { return static_cast<int>(t_.columns.size()); }
  int KeyField() const {
    for (int i = 0; i < Count(); ++i)
      if (t_.columns[static_cast<std::size_t>(i)].key) return kFirstField + i;
    return kFirstField;
  }
  std::string Value(int i) const {
    std::string v = GetFieldText(kFirstField + i);
    std::size_t b = v.find_first_not_of(' '), e = v.find_last_not_of(' ');
    return b == std::string::npos ? "" : v.substr(b, e - b + 1);
  }

  void Reload() {
    TDataTbl& g = *Grid(kGrid);
    g.ResetData();
    std::string sql = "SELECT ";
    for (const auto& c : t_.columns) sql += c.column + ", ";
    sql += "RECNO FROM " + t_.table + " ORDER BY ";
    for (const auto& c : t_.columns)
      if (c.key) sql += c.column + ", ";
    sql += "RECNO";
    KVTSConnection conn(1, nullptr, 0);
    if (conn.ExecSQL(sql.c_str()) <= 0) return;
    while (conn.FetchNext()) {
      int row = g.InsertRow();
      for (int c = 0; c <= Count(); ++c) g.SetCell(c, row, conn.ColumnVar(c + 1));
    }
  }

  void Clear() {
    for (int i = 0; i < Count(); ++i) SetFieldText(kFirstField + i, "");
    recno_.clear();
    Grid(kGrid)->SelRow(KVT_NONE);
    KVTSetFieldFocus(kFirstField);
  }

  void ShowRow(int row) {
    TDataTbl& g = *Grid(kGrid);
    for (int i = 0; i < Count(); ++i) SetFieldText(kFirstField + i, g.GetCell(i, row));
    recno_ = g.GetCell(Count(), row);
    g.SelRow(row);
  }

  bool Error(const std::string& text, int field) {
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    KVTSetFieldFocus(field);
    return false;
  }

  bool Valid(bool change) {
    for (int i = 0; i < Count(); ++i) {
      const KVTMaintColumn& c = t_.columns[static_cast<std::size_t>(i)];
      if ((c.required || c.key) && Value(i).empty())
        return Error(c.label + " is required.", kFirstField + i);
    }
    std::string sql = "SELECT RECNO FROM " + t_.table + " WHERE ";
    std::string labels;
    std::vector<std::string> values;
    for (int i = 0; i < Count(); ++i) {
      const KVTMaintColumn& c = t_.columns[static_cast<std::size_t>(i)];
      if (!c.key) continue;
      sql += (values.empty() ? "" : " AND ") + c.column + " = ?";
      labels += (labels.empty() ? "" : " and ") + c.label;
      values.push_back(Value(i));
    }
    if (values.empty()) return true;
    KVTConnection conn(1);
    conn.PrepareSQL(sql.c_str());
    for (const auto& v : values) conn.BindParam(sql.c_str(), v.c_str(), 0);
    if (conn.ExecuteSQL(sql.c_str()) <= 0) return Error(conn.LastError(), KeyField());
    while (conn.FetchNext(sql.c_str())) {
      if (!change || std::string(conn.ColumnVar(sql.c_str(), 1)) != recno_)
        return Error("A record with this " + labels + " already exists.", KeyField());
    }
    return true;
  }

  void Save(bool change) {
    if (change && recno_.empty()) {
      MessageBox("Choose the row to change first.", "Error", MB_OK | MB_ICONSTOP);
      return;
    }
    DoScrToApp();
    if (!Valid(change)) return;
    std::string sql;
    if (change) {
      sql = "UPDATE " + t_.table + " SET ";
      for (int i = 0; i < Count(); ++i)
        sql += (i ? ", " : "") + t_.columns[static_cast<std::size_t>(i)].column + " = ?";
      sql += " WHERE RECNO = ?";
    } else {
      sql = "INSERT INTO " + t_.table + " (";
      for (const auto& c : t_.columns) sql += c.column + ", ";
      sql += "RECNO) VALUES (";
      for (int i = 0; i < Count(); ++i) sql += "?, ";
      sql += "?)";
    }
    std::string recno = recno_;
    if (!change) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.0f", NextNum(nullptr, 1, t_.table.c_str(), 10, 0, 1));
      recno = buf;
    }
    KVTConnection conn(1);
    conn.PrepareSQL(sql.c_str());
    for (int i = 0; i < Count(); ++i) conn.BindParam(sql.c_str(), Value(i).c_str(), 0);
    conn.BindParam(sql.c_str(), recno.c_str(), 2);
    if (conn.ExecuteSQL(sql.c_str()) <= 0 || recno == "0") {
      std::string text = "Error occurred saving " + t_.table + " record.\n" + conn.LastError();
      MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
      return;
    }
    Reload();
    Clear();
  }

  void Delete() {
    if (recno_.empty()) {
      MessageBox("Choose the row to delete first.", "Error", MB_OK | MB_ICONSTOP);
      return;
    }
    if (MessageBox("Delete this record?", t_.caption.c_str(),
                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
      return;
    std::string sql = "DELETE FROM " + t_.table + " WHERE RECNO = ?";
    KVTConnection conn(1);
    conn.PrepareSQL(sql.c_str());
    conn.BindParam(sql.c_str(), recno_.c_str(), 2);
    if (conn.ExecuteSQL(sql.c_str()) <= 0) {
      std::string text = "Error occurred deleting " + t_.table + " record.\n" + conn.LastError();
      MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
      return;
    }
    Reload();
    Clear();
  }

  KVTMaintTable t_;
  std::string presetKey_;
  std::string recno_;  // the row being changed, "" for a new one
};

}  // namespace

bool KVTOpenTableMaintenance(HWND parent, const KVTMaintTable& table,
                             const std::string& presetKey) {
  HWND client = KVTFindMDIClient(parent);
  if (!client) return false;
  if (KVTActivateMDIChild(client, table.className)) return true;
  auto* screen = new TableMaintenance(parent, table, presetKey);
  if (!screen->Create()) {
    delete screen;
    return false;
  }
  return true;
}

// The transfer module's forms: one till shift's transfer, and the export and
// import of the tills' sales.
#include "suite/kvtctm/forms.h"

#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/msgbox.h"
#include "platform/sql/query.h"
#include "platform/win/folders.h"

namespace sql = kvt::sql;

namespace {

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == ',')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// One of this module's events; false with the module's error text.
bool Event(const char* name, const std::string& param1, HWND owner, std::string* error) {
  KVTEventObject object;
  object.hWnd = owner;
  KVTSetEventText(object.Param1, param1);
  if (KVTInterface_HandleEvent(name, KVT_EVENT_VERSION, &object)) return true;
  *error = object.ErrorString;
  return false;
}

struct Group {
  std::string store, date, till, shift;  // date MM/DD/YYYY; shift "" for all
};

// The sales of the group waiting for their transfer, or (again) transferred
// before; suspended sales stay at the till.
sql::Result CountSales(const Group& g, bool again) {
  std::string where = "STORE = ? AND INVDATE = ? AND TILLREF = ? AND STATUS <> 'S'";
  std::vector<sql::Value> values = {sql::Text(g.store), sql::Date(g.date), sql::Text(g.till)};
  if (!g.shift.empty()) {
    where += " AND SHIFT = ?";
    values.push_back(sql::Text(g.shift));
  }
  where += again ? " AND TRANSNUM > ''" : " AND (TRANSNUM = '' OR TRANSNUM IS NULL)";
  return sql::Run("SELECT COUNT(1) AS N FROM KVTPOS1 WHERE " + where, values);
}

// The till's targets: sales tickets, price book, C-Store ("F" each when
// the till is not set up).
struct Targets {
  std::string st = "F", pb = "F", cst = "F";
};

bool ReadTargets(const Group& g, Targets* t, std::string* error) {
  sql::Result till =
      sql::Run("SELECT TRNST, TRNPB, TRNCST FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
               {sql::Text(g.store), sql::Text(g.till)});
  if (!till.ok()) {
    *error = "The till's transfer settings could not be read: " + till.error();
    return false;
  }
  if (till.found() == sql::Found::Yes)
    *t = {till.first()["TRNST"], till.first()["TRNPB"], till.first()["TRNCST"]};
  return true;
}

// The data of "DoKVTPOSDirectTransfer" for the group.
std::string TransferData(const Group& g, const std::string& batch, bool again, const Targets& t) {
  const std::string compact =
      g.date.size() == 10 ? g.date.substr(0, 2) + g.date.substr(3, 2) + g.date.substr(6) : g.date;
  return "01=" + compact + "\t02=" + g.store + "\t03=" + g.shift + "\t04=" + g.till +
         "\t05=" + batch + "\t06=" + (again ? "Y" : "N") + "\t07=" + t.st + "\t08=" + t.pb +
         "\t09=" + t.cst + "\t";
}

// Hands the group to the module's direct transfer.
bool SendGroup(const Group& g, const std::string& batch, bool again, HWND owner,
               std::string* error) {
  Targets t;
  return ReadTargets(g, &t, error) &&
         Event("DoKVTPOSDirectTransfer", TransferData(g, batch, again, t), owner, error);
}

std::string YesNo(const std::string& flag) {
  return flag == "T" ? "Yes" : "No";
}

// "KVCTM.TransferPOS.Transfer": one till shift.
class TransferForm : public PVDialog {
 public:
  enum : int { IDC_TEXT = 101, IDC_GROUP = 102, IDC_COUNT = 108, IDC_TARGETS = 109 };

  TransferForm(HWND parent, const std::string& data) : PVDialog(parent, Form()) {
    std::vector<std::string> p = Split(data);
    p.resize(7);
    group_ = {p[1], p[4], p[2], p[3]};
    batch_ = p[5];
    again_ = p[6] == "T" || p[6] == "Y";
  }
  static const KVTFormDecl& Form() {
    static const KVTFormDecl form = [] {
      KVTFormDecl f("KVCTMTransfer", "Transfer Sales", 60, 14);
      f.Label(IDC_TEXT, "", 2, 1, 56);
      for (int line = 0; line < 5; ++line) f.Label(IDC_GROUP + line, "", 4, 3 + line, 50);
      f.Label(IDC_COUNT, "", 4, 8, 50);
      f.Label(IDC_TARGETS, "", 4, 9, 54);
      f.Button(IDOK, "&Transfer", 16, 11);
      f.Button(IDCANCEL, "&Cancel", 32, 11);
      return f;
    }();
    return form;
  }

 protected:
  void SetupWindow() override {
    const std::string lines[] = {"Store : " + group_.store, "Till : " + group_.till,
                                 "Shift : " + (group_.shift.empty() ? "all shifts" : group_.shift),
                                 "Date : " + group_.date, "Batch : " + batch_};
    for (int line = 0; line < 5; ++line) SetFieldText(IDC_GROUP + line, lines[line]);
    std::string error;
    Targets t;
    if (ReadTargets(group_, &t, &error))
      SetFieldText(IDC_TARGETS, "Sales tickets : " + YesNo(t.st) + "   Inventory : " + YesNo(t.pb) +
                                    "   C-Store : " + YesNo(t.cst));
    sql::Result count = CountSales(group_, again_);
    if (!count.ok()) error = "The sales could not be counted: " + count.error();
    count_ = count.ok() && !count.rows().empty() ? count.first()["N"] : "0";
    SetFieldText(IDC_COUNT, "Sales : " + count_);
    if (!error.empty() || count_ == "0") {
      SetFieldText(IDC_TEXT,
                   error.empty() ? "No sales of this till shift wait for a transfer." : error);
      EnableField(IDOK, false);
      KVTSetFieldFocus(IDCANCEL);
      return;
    }
    SetFieldText(IDC_TEXT, "These sales go to accounting as one batch.");
    KVTSetFieldFocus(IDOK);
  }
  void CmOk() override {
    std::string error;
    if (SendGroup(group_, batch_, again_, Handle(), &error)) {
      std::string text = count_ + " sales of store " + group_.store + ", till " + group_.till +
                         " were transferred.";
      MessageBox(text.c_str(), "Transfer Sales", MB_OK | MB_ICONINFORMATION);
      CloseWindow(IDOK);
      return;
    }
    MessageBox(error.c_str(), "Transfer Sales Error", MB_OK | MB_ICONSTOP);
    CloseWindow(IDCANCEL);
  }

 private:
  Group group_;
  std::string batch_, count_;
  bool again_ = false;
};

// "KVCTM.TransferPOS.TransferInterfaceForm": the closed till shifts that
// wait for their transfer (Export), or the sales files in the tills'
// exchange folders (Import).
class InterfaceForm : public PVDialog {
 public:
  enum : int { IDC_TEXT = 101, IDC_GRID = 102 };

  InterfaceForm(HWND parent, bool import) : PVDialog(parent, Form(import)), import_(import) {}
  static const KVTFormDecl& Form(bool import) {
    static const KVTFormDecl forms[2] = {Make(false), Make(true)};
    return forms[import ? 1 : 0];
  }

 protected:
  void SetupWindow() override { Load(); }
  void CmOk() override {
    TDataTbl& grid = *Grid(IDC_GRID);
    int done = 0;
    std::string failures;
    for (int row = 0; row < grid.GetRowCount(); ++row) {
      std::string error;
      bool ok = false;
      if (import_) {
        ok = Event("DoKVTPOSAcquireSales", "01=" + grid.GetCell(0, row) + "\t", Handle(), &error);
      } else {
        Group g{grid.GetCell(0, row), grid.GetCell(1, row), grid.GetCell(2, row),
                grid.GetCell(3, row)};
        ok = SendGroup(g, "", false, Handle(), &error);
      }
      if (ok)
        ++done;
      else
        failures += "\n" + error;
    }
    std::string text = std::to_string(done) + " of " + std::to_string(grid.GetRowCount()) +
                       (import_ ? " sales files were imported." : " till shifts were exported.") +
                       failures;
    MessageBox(text.c_str(), Caption().c_str(),
               MB_OK | (failures.empty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
    Load();
  }

 private:
  static KVTFormDecl Make(bool import) {
    KVTFormDecl f("KVCTMTransferInterface", import ? "Import Sales" : "Export Sales", 66, 18);
    f.Label(IDC_TEXT, "", 2, 1, 62);
    KVTFieldDecl& grid = f.Grid(IDC_GRID, 2, 3, 10);
    if (import) {
      grid.Column("Sales file", 60, 512);
    } else {
      grid.Column("Store", 10);
      grid.Column("Date", 12);
      grid.Column("Till", 8);
      grid.Column("Shift", 8);
      grid.Column("# of Sales", 10).Right();
    }
    f.Button(IDOK, import ? "&Import" : "&Export", 20, 15);
    f.Button(IDCANCEL, "&Close", 36, 15);
    return f;
  }
  void Load() {
    TDataTbl& grid = *Grid(IDC_GRID);
    grid.ResetData();
    std::string error = import_ ? LoadFiles(grid) : LoadShifts(grid);
    const bool any = grid.GetRowCount() > 0;
    if (error.empty())
      error = any ? (import_ ? "These sales files are read into the office database."
                             : "These closed till shifts are sent on to accounting.")
                  : (import_ ? "No sales files wait to be imported."
                             : "No closed till shifts wait to be exported.");
    SetFieldText(IDC_TEXT, error);
    EnableField(IDOK, any);
    KVTSetFieldFocus(any ? IDOK : IDCANCEL);
  }
  // Groups whose till shift is no longer logged in (no KVTPOS9 row).
  static std::string LoadShifts(TDataTbl& grid) {
    sql::Result r = sql::Run(
        "SELECT P.STORE, P.INVDATE, P.TILLREF, P.SHIFT, COUNT(1) AS N FROM KVTPOS1 P WHERE "
        "P.STATUS <> 'S' AND (P.TRANSNUM = '' OR P.TRANSNUM IS NULL) AND NOT EXISTS (SELECT 1 "
        "FROM KVTPOS9 L WHERE L.STORE = P.STORE AND L.INVDATE = P.INVDATE AND L.TILLREF = "
        "P.TILLREF AND L.SHIFT = P.SHIFT) GROUP BY P.STORE, P.INVDATE, P.TILLREF, P.SHIFT "
        "ORDER BY P.INVDATE, P.STORE, P.TILLREF, P.SHIFT");
    if (!r.ok()) return "The sales could not be read: " + r.error();
    for (const sql::Row& s : r.rows()) {
      int row = grid.InsertRow();
      const std::string cells[] = {s["STORE"], s["INVDATE"], s["TILLREF"], s["SHIFT"], s["N"]};
      for (int col = 0; col < 5; ++col) grid.SetCell(col, row, cells[col]);
    }
    return "";
  }
  // "ST-" files in the exchange folders of the tills that exchange files.
  static std::string LoadFiles(TDataTbl& grid) {
    sql::Result r = sql::Run(
        "SELECT DISTINCT CONPATH FROM KVTCOM14 WHERE CONTYPE <> 'D' AND CONPATH > '' ORDER BY "
        "CONPATH");
    if (!r.ok()) return "The tills could not be read: " + r.error();
    for (const sql::Row& t : r.rows()) {
      std::vector<KVTFileInfo> files;
      std::string error;
      if (!ListFiles(t["CONPATH"], "ST-*.ZIP", &files, &error))
        return "The folder " + t["CONPATH"] + " could not be read: " + error;
      for (const KVTFileInfo& f : files) grid.SetCell(0, grid.InsertRow(), f.path);
    }
    return "";
  }

  bool import_;
};

}  // namespace

int KVCTMShowForm(const char* formType, HWND parent, const char* data) {
  const std::string type = formType ? formType : "", text = data ? data : "";
  if (type == "KVCTM.TransferPOS.Transfer") {
    TransferForm form(parent, text);
    form.Execute();
    return 1;
  }
  if (type == "KVCTM.TransferPOS.TransferInterfaceForm") {
    std::vector<std::string> parts = Split(text);
    InterfaceForm form(parent, parts.size() > 1 && parts[1] == "Import");
    form.Execute();
    return 1;
  }
  return 0;
}

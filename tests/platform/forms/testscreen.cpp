// The test screen of the forms runtime tests and the script tool.
#include "tests/platform/forms/testscreen.h"

#include <cstdlib>
#include <cstring>

#include "platform/base/kvtbase.h"

namespace {

bool Number(const char* s, double* out) {
  if (!*s) return false;
  char* end = nullptr;
  *out = std::strtod(s, &end);
  return *end == '\0';
}

}  // namespace

const KVTFormDecl& PVtestDlg::Declaration() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVtestDlg", "Test Screen", 62, 17);
    f.Edit(IDC_STORE, "Store : ", 12, 1, 6, KVT_BIND(PVtestData, STORE)).Db("STORE");
    f.Edit(IDC_QTY, "Quantity : ", 12, 2, 10, KVT_BIND(PVtestData, QTY)).Db("QTYORDERED");
    f.Edit(IDC_PRICE, "Price : ", 12, 3, 10, KVT_BIND(PVtestData, PRICE)).Db("PRICE");
    f.Check(IDC_TAXABLE, "&Taxable", 30, 1, KVT_BIND(PVtestData, TAXABLE));
    KVTFieldDecl& grid = f.Grid(IDC_DATATBL, 2, 5, 5);
    grid.Column("Store", 7);
    grid.Column("Qty", 10).Right();
    grid.Column("Price", 10).Right();
    grid.Column("Amount", 11).Right();
    grid.Column("Line", 8).Hidden();
    f.Label(0, "Total : ", 30, 12);
    f.Label(IDC_TOTAL, "$0.00", 38, 12, 10);
    f.Label(IDC_LOG, "", 2, 13, 58);
    f.Label(IDC_NOTETEXT, "", 2, 14, 58);
    f.Help(IDC_HELP, "F3 - Clear lines  F5 - Post  F6 - Note  F7 - Find store", 2, 15);
    f.Button(IDC_NOTE, "&Note", 2, 16);
    f.Button(IDCANCEL, "&Close", 12, 16);
    return f;
  }();
  return form;
}

PVtestDlg::PVtestDlg(HWND parent) : PVMDIDialog(parent, Declaration()) {
  SetTransferBuffer(&data);
  SetFieldChecker(&checker);
  OnCommand(CM_POSTED, [this] { Log("posted command ran"); });
  OnCommand(IDC_NOTE, [this] { OpenNote(); });
}

void PVtestDlg::SetupWindow() {
  ProtectField(IDC_DATATBL);
  KVTSetFieldFocus(IDC_STORE);
}

bool PVtestDlg::ValidStore(const char* store) const {
  return std::strcmp(store, "S1") == 0 || std::strcmp(store, "S2") == 0;
}

void PVtestDlg::Log(const std::string& what) {
  log.push_back(what);
  std::string all;
  for (const std::string& l : log) all += (all.empty() ? "" : "; ") + l;
  SetFieldText(IDC_LOG, all);
}

void PVtestDlg::AcceptLine() {
  double qty = std::strtod(data.QTY, nullptr);
  double price = std::strtod(data.PRICE, nullptr);
  TDataTbl* grid = Grid(IDC_DATATBL);
  int row = grid->InsertRow();
  char amount[32];
  grid->UpdateCell(0, data.STORE);
  grid->UpdateCell(1, data.QTY);
  grid->UpdateCell(2, KVTSRound(price, 2, amount));
  grid->UpdateCell(3, KVTSRound(qty * price, 2, amount));
  grid->UpdateCell(4, std::to_string(row + 1));
  double total = 0;
  for (int r = 0; r < grid->GetRowCount(); ++r)
    total += std::strtod(grid->GetCell(3, r).c_str(), nullptr);
  char text[40];
  KVTsprintf(text, "$%.2f", KVTRound(total, 2));
  SetFieldText(IDC_TOTAL, text);
  data.QTY[0] = data.PRICE[0] = '\0';
  DoAppToScr(IDC_QTY);
  DoAppToScr(IDC_PRICE);
}

bool PVtestDlg::PreProcessMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (GetKeyState(VK_MENU) < 0) return true;  // nothing of this screen takes Alt
  bool plain = GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0;
  switch (msg.wParam) {
    case VK_F3:
      if (plain) ClearLines();
      return true;
    case VK_F5:
      Log("F5 began");
      PostMessage(WM_COMMAND, CM_POSTED);
      Log("F5 ended");
      return true;
    case VK_F6:
      OpenNote();
      return true;
    case VK_F7:
      SearchStore();
      return true;
    default:
      return false;
  }
}

void PVtestDlg::ClearLines() {
  TDataTbl* grid = Grid(IDC_DATATBL);
  if (grid->GetRowCount() == 0) {
    MessageBox("No lines to clear.", "Error", MB_OK | MB_ICONSTOP);
    return;
  }
  if (MessageBox("Clear all lines?", "Test Screen", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) !=
      IDYES)
    return;
  grid->ResetData();
  SetFieldText(IDC_TOTAL, "$0.00");
  Log("cleared");
}

void PVtestDlg::OpenNote() {
  PVnoteDlg dlg(Handle(), data.NOTE);
  int rc = dlg.Execute();
  Log(std::string("note dialog ended with ") + (rc == IDOK ? "OK" : "Cancel"));
  if (rc == IDOK) {
    KVTsprintf(data.NOTE, "%s", dlg.data.NOTE);
    SetFieldText(IDC_NOTETEXT, std::string("Note: ") + data.NOTE);
  }
}

void PVtestDlg::SearchStore() {
  KVTSearchResult result;
  if (KVTSimpleSearch(Handle(), "STOREREFSRCH", "STOREREFFMT", &result, "", "", nullptr,
                      GetFieldText(IDC_STORE).c_str())) {
    SetFieldVar(IDC_STORE, result.Value(0).c_str());
    data.RECNO = result.Recno();
  }
  KVTSetFieldFocus(IDC_STORE);
}

int TESTA::VerifyFields(int fieldId) {
  PVtestData& d = screen_->data;
  lastField = fieldId;
  lastByKey = KVTLastMessageWasKey();
  lastShift = GetKeyState(VK_SHIFT) < 0;
  double value = 0;
  switch (fieldId) {
    case PVtestDlg::IDC_STORE:
      TRIM(d.STORE);
      if (screen_->ValidStore(d.STORE)) return 0;
      screen_->MessageBox("Invalid Store.", "Error", MB_OK | MB_ICONSTOP);
      return 1;
    case PVtestDlg::IDC_QTY:
      TRIM(d.QTY);
      if (!*d.QTY) {
        KVTsprintf(d.QTY, "1");
        screen_->DoAppToScr(PVtestDlg::IDC_QTY);
      }
      if (Number(d.QTY, &value) && value > 0) return 0;
      screen_->MessageBox("Not a valid quantity.\n\nMust enter a number.", "Error",
                          MB_OK | MB_ICONSTOP);
      return 1;
    case PVtestDlg::IDC_PRICE:
      TRIM(d.PRICE);
      if (!Number(d.PRICE, &value) || value < 0) {
        screen_->MessageBox("Not a valid price.", "Error", MB_OK | MB_ICONSTOP);
        return 1;
      }
      screen_->AcceptLine();
      screen_->KVTSetFieldFocus(PVtestDlg::IDC_QTY);
      return 1;
    default:
      return 0;
  }
}

int TESTA::VerifyRequiredFields() {
  if (screen_->ValidStore(TRIM(screen_->data.STORE))) return 1;
  screen_->MessageBox("Invalid Store.", "Error", MB_OK | MB_ICONSTOP);
  screen_->KVTSetFieldFocus(PVtestDlg::IDC_STORE);
  return 0;
}

namespace {
const KVTFormDecl& NoteForm() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVnoteDlg", "Note", 40, 4);
    f.Edit(PVnoteDlg::IDC_NOTE, "Note : ", 8, 1, 30, KVT_BIND(PVnoteData, NOTE));
    f.Button(IDOK, "&OK", 8, 3);
    f.Button(IDCANCEL, "&Cancel", 16, 3);
    return f;
  }();
  return form;
}
}  // namespace

PVnoteDlg::PVnoteDlg(HWND parent, const char* note) : PVDialog(parent, NoteForm(), &data) {
  KVTsprintf(data.NOTE, "%s", note);
  SetFieldChecker(this);
}

int PVnoteDlg::VerifyRequiredFields() {
  if (*TRIM(data.NOTE)) return 1;
  MessageBox("Note is required.", "Error", MB_OK | MB_ICONSTOP);
  KVTSetFieldFocus(IDC_NOTE);
  return 0;
}

void OpenTestScreenIn(HWND hWnd) {
  if (KVTActivateMDIChild(KVTFindMDIClient(hWnd), "PVtestDlg")) return;
  auto* screen = new PVtestDlg(hWnd);
  if (!screen->Create()) delete screen;
}

// The transfer screen, its action loop and the hand-over to the transfer module.
#include "backoffice/transfer.h"

#include <cstring>
#include <string>

#include "backoffice/chgopts.h"
#include "backoffice/trnbatch.h"
#include "platform/base/textwidth.h"
#include "platform/win/profile.h"
#include "shell/globals.h"
#include "shell/kvtintob.h"
#include "shell/screens.h"

namespace sql = kvt::sql;
using F = KVTTransferForm;

namespace {

HBITMAP Mark(const char* name) {
  return LoadBitmap(hInstance, name);
}
HBITMAP SCheck() {
  return Mark("SCHECK");
}
HBITMAP SCheckG() {
  return Mark("SCHECKG");
}
HBITMAP RedX() {
  return Mark("REDX");
}
HBITMAP BlueX() {
  return Mark("BLUEX");
}

const char kDefaultsSection[] = "PVtransferDlg";

}  // namespace

bool DoKVTPOSDirectAcquire(HWND owner, const std::string& data, std::string* error) {
  error->clear();
  KVTModuleInterface ctm;
  ctm.SetOwner(owner);
  ctm.SetClass("KVT POS Direct Transfer");
  ctm.AddModule("KVTCTM.DLL");
  ctm.Reset();
  ctm.hWnd = owner;
  ctm.CallEvent("KVTInitializeEvent");
  if (ctm.Error()) {
    MessageBox(owner, "Error initializing CTM program module.", "Kovatel Software",
               MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  ctm.Reset();
  ctm.hWnd = owner;
  ctm.CallEvent("QueryVersion");
  if (ctm.Error() || ctm.iParam1 < 1) {
    MessageBox(owner, "Incorrect version of CTM (KVTCTM.DLL).", "Kovatel Software",
               MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  ctm.Reset();
  ctm.hWnd = owner;
  ctm.Param1 = data;
  ctm.CallEvent("DoKVTPOSDirectTransfer");
  if (ctm.Error() == 0) return true;
  *error = ctm.GetErrorString();
  return false;
}

// ---------------------------------------------------------------------------

const KVTFormDecl& KVTTransferForm::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVtransferDlg", "Transfer Sales", 64, 24);
    f.Label(IDC_TITLE, "", 2, 1, 40);
    f.Label(IDC_TEXT, "", 2, 2, 60);
    f.Check(IDC_RETRANSFER, "&Re-Transfer Sales", 2, 4);
    f.Check(IDC_DISPSHIFT, "&Display Each Shift", 30, 4);
    KVTFieldDecl& grid = f.Grid(IDC_GRID, 2, 6, 12);
    grid.MarkColumn(4);
    for (auto [title, width] :
         {std::pair{"Store", 8}, {"Date", 10}, {"Till", 6}, {"Shift", 6}, {"Sales", 6}})
      grid.Column(title, width, 51);
    grid.Column("", 6, 51).Hidden();
    grid.Column("", 6, 51).Hidden();
    f.Check(IDC_SELALL, "Select &All", 2, 20);
    f.Button(IDC_OK, "&Transfer", 20, 22);
    f.Button(IDCANCEL, "Cancel", 36, 22);
    return f;
  }();
  return form;
}

KVTTransferForm::KVTTransferForm(KVTScreen* screen) : screen_(screen) {
  screen->OnChange(IDC_RETRANSFER, [this] { RetransferToggled(); });
  screen->OnChange(IDC_DISPSHIFT, [this] { ShiftsToggled(); });
  screen->OnChange(IDC_SELALL, [this] { SelectAll(); });
  screen->OnCommand(IDC_OK, [this] { Cmidc_ok(); });
  screen->OnGridClick(IDC_GRID, [this](int row) { Toggle(row); });
}

bool KVTTransferForm::Direct() const {
  return std::strcmp(CONNECTIONTYPE, "D") == 0;
}
bool KVTTransferForm::Retransfer() const {
  return screen_->GetCheck(IDC_RETRANSFER);
}
bool KVTTransferForm::ShowShifts() const {
  return screen_->GetCheck(IDC_DISPSHIFT);
}

void KVTTransferForm::InitForm() {
  toggled_ = false;
  screen_->SetCheck(IDC_RETRANSFER, false);
  char shifts[8];
  GetPrivateProfileString(kDefaultsSection, "DisplayEachShift", "1", shifts, sizeof shifts,
                          LOCAL_INI);
  screen_->SetCheck(IDC_DISPSHIFT, std::strcmp(shifts, "0") != 0);
  screen_->SetFieldLabel(IDC_RETRANSFER, Direct() ? "&Re-Transfer Sales" : "&Re-Export Sales");
  Wording();
  LoadDataTable();
}

void KVTTransferForm::Wording() {
  const bool re = Retransfer(), direct = Direct();
  const char* title = direct ? (re         ? "Re-Transfer Daily Sales"
                                : toggled_ ? "Transfer Daily Sales"
                                           : "Transfer Sales")
                             : (re ? "Re-Export Sales" : "Export Sales");
  const char* text =
      direct ? (re ? "This process will re-transfer sales to A/R, C-Store and/or Price Book."
                   : "This process will transfer sales to A/R, C-Store and/or Price Book.")
             : (re ? "This process will re-export sales to be moved to the home office."
                   : "This process will export sales to be moved to the home office.");
  const char* button =
      direct ? (re ? "Re-&Transfer" : "&Transfer") : (re ? "Re-&Export" : "&Export");
  screen_->SetFieldText(IDC_TITLE, title);
  screen_->SetCaption(title);
  screen_->SetFieldText(IDC_TEXT, text);
  screen_->SetFieldLabel(IDC_OK, button);
}

void KVTTransferForm::RetransferToggled() {
  toggled_ = true;
  Wording();
  LoadDataTable();
}

void KVTTransferForm::ShiftsToggled() {
  LoadDataTable();
}

void KVTTransferForm::LoadDataTable() {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->ResetData();
  grid->SetColHidden(COL_SHIFT, !ShowShifts());
  std::vector<KVTTransferGroup> groups;
  std::string error;
  if (!KVTTransfers::LoadGroups(Retransfer(), ShowShifts(), &groups, &error)) {
    std::string text = "The sales could not be read:\n\n" + error;
    screen_->MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  for (const KVTTransferGroup& g : groups) {
    grid->InsertRow();
    grid->UpdateCell(COL_STORE, g.store);
    grid->UpdateCell(COL_DATE, g.date);
    grid->UpdateCell(COL_TILL, g.till);
    grid->UpdateCell(COL_SHIFT, g.shift);
    grid->UpdateCell(COL_COUNT, g.count);
    grid->UpdateCell(COL_COUNT + 1, g.shift);
  }
  if (groups.empty()) {
    screen_->MessageBox(
        Retransfer() ? "No transferred data was found." : "No untransferred data was found.",
        PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
    screen_->SetCheck(IDC_SELALL, false);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  screen_->KVTSetFieldFocus(IDC_GRID);
  grid->SetCurCell(COL_STORE, 0);
  MarkActiveShifts();
  bool one = !Retransfer() && groups.size() == 1;
  screen_->SetCheck(IDC_SELALL, one);
  if (one) SelectAll();
}

void KVTTransferForm::MarkActiveShifts() {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  for (int row = 0; row < grid->GetRowCount(); ++row) {
    KVTTransferGroup g{grid->GetCell(COL_STORE, row), grid->GetCell(COL_DATE, row),
                       grid->GetCell(COL_TILL, row), grid->GetCell(COL_SHIFT, row), ""};
    sql::Result r = KVTTransfers::ActiveShift(g, ShowShifts());
    if (r.found() == sql::Found::Failed) {
      // A shift that cannot be checked is treated as logged in: it stays out.
      std::string text = "The open till shifts could not be read:\n\n" + r.error();
      screen_->MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    }
    if (r.found() != sql::Found::No) {
      grid->SetRowMark(row, BlueX());
      grid->SetRowColor(row, KVT_GREY);
    }
  }
}

void KVTTransferForm::Toggle(int row) {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  HBITMAP mark = grid->GetRowMark(row);
  if (mark == BlueX()) return;
  grid->SetRowMark(row, mark ? nullptr : SCheck());
}

bool KVTTransferForm::GridKey(UINT vk) {
  if (screen_->GetFocusField() != IDC_GRID) return false;
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  int row = grid->GetCurRow();
  bool last = row == grid->GetRowCount() - 1;
  if (vk == VK_SPACE && row >= 0) {
    Toggle(row);
    if (last)
      screen_->KVTSetFieldFocus(IDC_OK);
    else
      grid->SetCurCell(grid->GetCurCol(), row + 1);
    return true;
  }
  if (vk == VK_DOWN && last) {
    screen_->KVTSetFieldFocus(IDC_OK);
    return true;
  }
  return false;
}

void KVTTransferForm::SelectAll() {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  bool on = screen_->GetCheck(IDC_SELALL);
  for (int row = 0; row < grid->GetRowCount(); ++row)
    if (grid->GetRowMark(row) != BlueX()) grid->SetRowMark(row, on ? SCheck() : nullptr);
  screen_->KVTSetFieldFocus(on ? IDC_OK : IDC_GRID);
}

void KVTTransferForm::Cmidc_ok() {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  const bool re = Retransfer();
  int selected = 0, successes = 0, failures = 0;
  for (int row = 0; row < grid->GetRowCount(); ++row) {
    if (grid->GetRowMark(row) != SCheck()) continue;
    ++selected;
    std::string store = grid->GetCell(COL_STORE, row), date = grid->GetCell(COL_DATE, row),
                till = grid->GetCell(COL_TILL, row), shift = grid->GetCell(COL_SHIFT, row),
                count = grid->GetCell(COL_COUNT, row);
    std::string st, pb, cst;
    sql::Result targets = KVTTransfers::TillTargets(store, till);
    if (targets.found() == sql::Found::Yes) {
      st = KVTCut(targets.first()["TRNST"], 20);
      pb = KVTCut(targets.first()["TRNPB"], 20);
      cst = KVTCut(targets.first()["TRNCST"], 20);
    }
    bool go = false;
    std::string batch;
    if (!targets.ok()) {
      std::string text = "The till's transfer settings could not be read:\n\n" + targets.error();
      screen_->MessageBox(text.c_str(), "Export Sales Error", MB_OK | MB_ICONSTOP);
    } else if (!re) {
      PVtrnbatchDlg popup(screen_->Handle());
      popup.SetTranSalesCount(count.c_str());
      popup.SetTranStore(store.c_str());
      popup.SetTranDate(date.c_str());
      popup.SetTranTillRef(till.c_str());
      popup.SetTranShift(shift.c_str());
      popup.Execute();
      go = popup.bDoTransfer;
      batch = popup.szBatch;
    } else {
      PVchgoptsDlg popup(screen_->Handle());
      popup.SetTranSalesCount(count.c_str());
      popup.SetTranStore(store.c_str());
      popup.SetTranDate(date.c_str());
      popup.SetTranTillRef(till.c_str());
      popup.SetTranShift(shift.c_str());
      popup.SetTranST(st.c_str());
      popup.SetTranPB(pb.c_str());
      popup.SetTranCST(cst.c_str());
      popup.Execute();
      go = popup.bDoTransfer;
      batch = popup.szBatch;
      st = popup.szTRNST;
      pb = popup.szTRNPB;
      cst = popup.szTRNCST;
    }
    if (!go) {
      grid->SetRowMark(row, RedX());
      grid->SetRowColor(row, KVT_GREY);
      if (!targets.ok()) ++failures;
      continue;
    }
    std::string error;
    std::string data = KVTTransfers::DirectTransferData(KVTTransfers::CompactDate(date), store,
                                                        shift, till, batch, re, st, pb, cst);
    if (DoKVTPOSDirectAcquire(screen_->Handle(), data, &error)) {
      grid->SetRowMark(row, SCheckG());
      ++successes;
    } else {
      if (!error.empty())
        screen_->MessageBox(error.c_str(), "Export Sales Error", MB_OK | MB_ICONSTOP);
      grid->SetRowMark(row, RedX());
      ++failures;
    }
  }
  if (selected == 0) {
    screen_->MessageBox("Nothing was selected to be transferred.", PROGRAM_NAME,
                        MB_OK | MB_ICONINFORMATION);
  } else {
    std::string text = KVTTransfers::ResultMessage(successes, failures, Direct());
    screen_->MessageBox(text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
  }
  SaveDefaults();
  screen_->CloseWindow(IDOK);
}

void KVTTransferForm::SaveDefaults() {
  if (!WritePrivateProfileString(kDefaultsSection, "DisplayEachShift", ShowShifts() ? "1" : "0",
                                 LOCAL_INI))
    screen_->MessageBox("Error writing default values for this form to KVTLOCAL.INI.", PROGRAM_NAME,
                        MB_OK | MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------------------

PVtransferDlg::PVtransferDlg(HWND parent) : PVDialog(parent, KVTTransferForm::FormDecl()) {}

bool PVtransferDlg::PreProcessMsg(MSG& msg) {
  if (msg.message == WM_KEYDOWN && Form.GridKey(static_cast<UINT>(msg.wParam))) return true;
  return PVDialog::PreProcessMsg(msg);
}

void PVtransferDlg::CmCancel() {
  Form.SaveDefaults();
  PVDialog::CmCancel();
}

PVtransferMDIDlg::PVtransferMDIDlg(HWND parent)
    : PVMDIDialog(parent, KVTTransferForm::FormDecl()) {}

bool PVtransferMDIDlg::PreProcessMsg(MSG& msg) {
  if (msg.message == WM_KEYDOWN && Form.GridKey(static_cast<UINT>(msg.wParam))) return true;
  return PVMDIDialog::PreProcessMsg(msg);
}

void PVtransferMDIDlg::CmCancel() {
  Form.SaveDefaults();
  PVMDIDialog::CmCancel();
}

KVT_REGISTER_SCREEN(PVtransferDlg);
[[maybe_unused]] static const bool kvtRegisteredTransferMDI = KVTRegisterMDIScreen(
    "PVtransferDlg", [](HWND parent) -> KVTScreen* { return new PVtransferMDIDlg(parent); });

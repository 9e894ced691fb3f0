#include "backoffice/impsalesdlg.h"

#include <cstring>
#include <string>
#include <vector>

#include "backoffice/chgopts.h"
#include "backoffice/exchange.h"
#include "backoffice/exchangecalls.h"
#include "platform/base/textwidth.h"
#include "platform/sql/query.h"
#include "shell/globals.h"
#include "shell/imports.h"
#include "shell/screens.h"

namespace sql = kvt::sql;
using F = KVTImportSalesForm;

namespace {

HBITMAP SCheck() {
  return LoadBitmap(hInstance, "SCHECK");
}
HBITMAP SCheckG() {
  return LoadBitmap(hInstance, "SCHECKG");
}
HBITMAP RedX() {
  return LoadBitmap(hInstance, "REDX");
}

}  // namespace

const KVTFormDecl& KVTImportSalesForm::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVimpsalesDlg", "Import Sales", 76, 26);
    f.Label(IDC_TITLE, "Import Sales", 2, 1, 40);
    f.Label(IDC_TEXT, "", 2, 2, 72);
    f.Group(IDC_CRITERIA, "Import Criteria", 2, 3, 40, 4);
    f.Edit(IDC_STORE, "Store : ", 4, 4, 6, KVT_BIND(PVimpsalesData, STORE));
    f.Edit(IDC_TILLREF, "Till Reference : ", 4, 5, 6, KVT_BIND(PVimpsalesData, TILLREF));
    f.Check(IDC_REIMPORT, "&Re-Import Sales", 46, 4);
    KVTFieldDecl& grid = f.Grid(IDC_GRID, 2, 8, 12);
    grid.MarkColumn(4);
    for (auto [title, width] : {std::pair{"Filename", 24},
                                {"File Path", 20},
                                {"Store", 6},
                                {"Till", 6},
                                {"Sale Date", 10},
                                {"Shift", 6},
                                {"Date & Time Created", 22},
                                {"Sort Field", 12}})
      grid.Column(title, width, 251);
    f.Check(IDC_SELALL, "Select &All Rows", 2, 22);
    f.Button(IDC_CHANGE, "C&hange Import Criteria", 2, 24);
    f.Button(IDC_OK, "&Import", 40, 24);
    f.Button(IDCANCEL, "Cancel", 54, 24);
    return f;
  }();
  return form;
}

KVTImportSalesForm::KVTImportSalesForm(KVTScreen* screen) : screen_(screen) {
  screen->SetTransferBuffer(&Data);
  screen->SetFieldChecker(&criteria_);
  screen->OnChange(IDC_REIMPORT, [this] { ReimportToggled(); });
  screen->OnChange(IDC_SELALL, [this] { SelectAll(); });
  screen->OnCommand(IDC_OK, [this] { Cmidc_ok(); });
  screen->OnCommand(IDC_CHANGE, [this] { InitForm(); });
  screen->OnGridClick(IDC_GRID, [this](int row) { Toggle(row); });
}

int KVTImportSalesForm::Criteria::VerifyFields(int id) {
  if (id != IDC_TILLREF) return 0;
  form_->DisplayDataToImport(form_->Data.STORE, form_->Data.TILLREF);
  return 1;
}

bool KVTImportSalesForm::Reimport() const {
  return screen_->GetCheck(IDC_REIMPORT);
}

void KVTImportSalesForm::InitForm() {
  screen_->SetFieldVar(IDC_STORE, DEFAULT_STORE);
  screen_->SetFieldVar(IDC_TILLREF, DEFAULT_TILLREF);
  screen_->UnprotectField(IDC_STORE);
  screen_->UnprotectField(IDC_TILLREF);
  screen_->SetCheck(IDC_REIMPORT, false);
  screen_->SetFieldText(IDC_TITLE, "Import Sales");
  screen_->SetFieldText(IDC_TEXT,
                        "This process will import sales made at the till and transfer to A/R, "
                        "C-Store and/or Price Book.");
  screen_->SetFieldLabel(IDC_OK, "&Import");
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->ResetData();
  for (int col : {COL_FILE, COL_PATH, COL_STORE, COL_TILL, COL_SORT})
    grid->SetColHidden(col, DEBUGMODE == 0);
  const bool complete = DEFAULT_STORE[0] && DEFAULT_TILLREF[0];
  for (int id : {IDC_CRITERIA, IDC_STORE, IDC_TILLREF}) screen_->ShowField(id, !complete);
  if (complete)
    DisplayDataToImport(DEFAULT_STORE, DEFAULT_TILLREF);
  else
    screen_->KVTSetFieldFocus(DEFAULT_STORE[0] ? IDC_TILLREF : IDC_STORE);
}

void KVTImportSalesForm::DisplayDataToImport(const std::string& store, const std::string& till) {
  bool tillField = false;
  std::string problem = KVTExchange::CheckCriteria(store, till, &tillField);
  if (!problem.empty()) {
    screen_->MessageBox(problem.c_str(), PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
    screen_->KVTSetFieldFocus(tillField ? IDC_TILLREF : IDC_STORE);
    return;
  }
  bool direct = false;
  std::string error;
  if (!KVTExchange::TillDirectConnect(store, till, &direct, &error)) {
    screen_->MessageBox(error.c_str(), "Error", MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  if (direct) {
    std::string text = "Store " + store + " Till " + till +
                       " is setup as having a direct connection to the back office.\n\nUse menu "
                       "option Transfer Sales or Export Sales for this store/till.";
    screen_->MessageBox(text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  std::string directory;
  bool found = Reimport() ? bDoKVTPOSGetArchiveDirectory(screen_->Handle(), &directory, &error)
                          : bDoKVTPOSGetTransferDirectory(screen_->Handle(), store, till,
                                                          &directory, &error);
  if (!found) {
    screen_->MessageBox(error.c_str(),
                        Reimport() ? "Archive Directory Error" : "Connection Drive Error",
                        MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  screen_->ProtectField(IDC_STORE);
  screen_->ProtectField(IDC_TILLREF);
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->ResetData();
  std::vector<KVTExchangeFile> files;
  if (!KVTExchange::ListFiles(directory, KVTExchange::SalesPrefix(store, till), true, &files,
                              &error)) {
    screen_->MessageBox(error.c_str(), "Connection Drive Error", MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  for (const KVTExchangeFile& f : files) {
    grid->InsertRow();
    grid->UpdateCell(COL_FILE, f.fileName);
    grid->UpdateCell(COL_PATH, f.path);
    grid->UpdateCell(COL_STORE, f.store);
    grid->UpdateCell(COL_TILL, f.till);
    grid->UpdateCell(COL_DATE, f.date);
    grid->UpdateCell(COL_SHIFT, f.shift);
    grid->UpdateCell(COL_CREATED, f.created);
    grid->UpdateCell(COL_SORT, f.sort);
  }
  screen_->KVTSetFieldFocus(IDC_GRID);
  CheckIfOneDataSet();
}

void KVTImportSalesForm::ReimportToggled() {
  const bool re = Reimport();
  screen_->SetFieldText(IDC_TITLE, re ? "Re-Import Sales" : "Import Sales");
  screen_->SetFieldText(
      IDC_TEXT, re ? "This process will re-import sales made at the till and transfer to A/R, "
                     "C-Store and/or Price Book."
                   : "This process will import sales made at the till and transfer to A/R, "
                     "C-Store and/or Price Book.");
  screen_->SetFieldLabel(IDC_OK, re ? "Re-&Import" : "&Import");
  screen_->DoScrToApp();
  DisplayDataToImport(Data.STORE, Data.TILLREF);
}

void KVTImportSalesForm::CheckIfOneDataSet() {
  bool one = !Reimport() && screen_->Grid(IDC_GRID)->GetRowCount() == 1;
  screen_->SetCheck(IDC_SELALL, one);
  if (one) {
    SelectAll();
  } else {
    screen_->KVTSetFieldFocus(IDC_GRID);
  }
}

void KVTImportSalesForm::Toggle(int row) {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->SetRowMark(row, grid->GetRowMark(row) ? nullptr : SCheck());
}

void KVTImportSalesForm::SelectAll() {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  bool on = screen_->GetCheck(IDC_SELALL);
  for (int row = 0; row < grid->GetRowCount(); ++row)
    grid->SetRowMark(row, on ? SCheck() : nullptr);
  screen_->KVTSetFieldFocus(on ? IDC_OK : IDC_GRID);
}

bool KVTImportSalesForm::GridKey(UINT vk) {
  if (screen_->GetFocusField() != IDC_GRID) return false;
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  int row = grid->GetCurRow();
  if (vk == VK_SPACE && row >= 0) {
    Toggle(row);
    if (row == grid->GetRowCount() - 1)
      screen_->KVTSetFieldFocus(IDC_OK);
    else
      grid->SetCurCell(grid->GetCurCol(), row + 1);
    return true;
  }
  return false;
}

void KVTImportSalesForm::Cmidc_ok() {
  screen_->EnableField(IDCANCEL, false);
  screen_->EnableField(IDC_OK, false);
  screen_->DoScrToApp();
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  const bool re = Reimport();
  int selected = 0, successes = 0, failures = 0;
  for (int row = 0; row < grid->GetRowCount(); ++row) {
    if (grid->GetRowMark(row) != SCheck()) continue;
    ++selected;
    std::string path = grid->GetCell(COL_PATH, row) + grid->GetCell(COL_FILE, row);
    KVTImportOptions options{Data.STORE,
                             Data.TILLREF,
                             grid->GetCell(COL_SHIFT, row),
                             grid->GetCell(COL_DATE, row),
                             "",
                             "",
                             "",
                             ""};
    if (re) {
      sql::Result r =
          sql::Run("SELECT TRNST, TRNPB, TRNCST FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
                   {sql::Text(options.store), sql::Text(options.tillRef)});
      if (r.found() == sql::Found::Failed) {
        std::string text = "The till's transfer settings could not be read: " + r.error();
        screen_->MessageBox(text.c_str(), "Import Sales Error", MB_OK | MB_ICONSTOP);
        grid->SetRowMark(row, RedX());
        ++failures;
        continue;
      }
      if (r.found() == sql::Found::Yes) {
        options.trnST = KVTCut(r.first()["TRNST"], 20);
        options.trnPB = KVTCut(r.first()["TRNPB"], 20);
        options.trnCST = KVTCut(r.first()["TRNCST"], 20);
      }
      if (!KVTAskReimportOptions(screen_->Handle(), &options)) {
        grid->SetRowMark(row, RedX());
        continue;
      }
    }
    std::string error;
    if (bDoKVTPOSImportSalesInformation(screen_->Handle(), path, options, re, &error)) {
      grid->SetRowMark(row, SCheckG());
      ++successes;
    } else {
      screen_->MessageBox(error.c_str(), "Import Sales Error", MB_OK | MB_ICONSTOP);
      grid->SetRowMark(row, RedX());
      ++failures;
    }
  }
  if (selected == 0) {
    screen_->MessageBox("Nothing was selected to be imported.", PROGRAM_NAME,
                        MB_OK | MB_ICONINFORMATION);
  } else {
    std::string text = KVTExchange::ImportResult(successes, failures, true);
    screen_->MessageBox(text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
  }
  screen_->EnableField(IDCANCEL, true);
  screen_->EnableField(IDC_OK, true);
  if (!DEFAULT_STORE[0] || !DEFAULT_TILLREF[0])
    InitForm();
  else
    screen_->CloseWindow(IDOK);
}

PVimpsalesDlg::PVimpsalesDlg(HWND parent) : PVMDIDialog(parent, KVTImportSalesForm::FormDecl()) {}

bool PVimpsalesDlg::PreProcessMsg(MSG& msg) {
  if (msg.message == WM_KEYDOWN && Form.GridKey(static_cast<UINT>(msg.wParam))) return true;
  return PVMDIDialog::PreProcessMsg(msg);
}

KVT_REGISTER_SCREEN(PVimpsalesDlg);

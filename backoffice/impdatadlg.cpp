#include "backoffice/impdatadlg.h"

#include <cstring>
#include <string>
#include <vector>

#include "backoffice/exchange.h"
#include "backoffice/exchangecalls.h"
#include "platform/base/kvtbase.h"
#include "shell/globals.h"
#include "shell/screens.h"

using F = KVTImportDataForm;

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

// ---------------------------------------------------------------------------
// The first-import set-up popup

const KVTFormDecl& PVdriveDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVdriveDlg", "Point Of Sale", 64, 12);
    f.Label(IDC_TEXT, "The following information is required to import data.", 2, 1, 60);
    f.Edit(IDC_STORE, "Store : ", 4, 3, 6, KVT_BIND(PVdriveData, STORE));
    f.Edit(IDC_TILLREF, "Till Reference : ", 4, 4, 6, KVT_BIND(PVdriveData, TILLREF));
    f.Edit(IDC_CONPATH, "Path where data to import exists : ", 4, 5, 30,
           KVT_BIND(PVdriveData, CONPATH));
    f.Check(IDC_FLOPPY, "This drive is a floppy, cd-rom or zip drive.", 4, 7);
    f.Button(IDOK, "&Continue", 16, 10);
    f.Button(IDCANCEL, "Cancel", 32, 10);
    return f;
  }();
  return form;
}

PVdriveDlg::PVdriveDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
}

void PVdriveDlg::CmOk() {
  DoScrToApp();
  std::string s = TRIM(Data.STORE), t = TRIM(Data.TILLREF);
  if (s.empty()) {
    MessageBox("Store is required.", PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
    KVTSetFieldFocus(IDC_STORE);
    return;
  }
  if (t.empty()) {
    MessageBox("Till Reference is required.", PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
    KVTSetFieldFocus(IDC_TILLREF);
    return;
  }
  std::string error;
  if (!KVTExchange::RecordOwnTill(s, t, TRIM(Data.CONPATH), GetCheck(IDC_FLOPPY), &error)) {
    std::string text = "Error occured.\n\n" + error;
    MessageBox(text.c_str(), "Kovatel Ledgerline", MB_OK | MB_ICONSTOP);
    return;
  }
  store = s;
  till = t;
  CloseWindow(IDOK);
}

KVT_REGISTER_SCREEN(PVdriveDlg);

// ---------------------------------------------------------------------------
// The import data screen

const KVTFormDecl& KVTImportDataForm::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVimpdataDlg", "Import Data", 76, 26);
    f.Label(IDC_TITLE, "Import Data", 2, 1, 40);
    f.Label(IDC_TEXT, "", 2, 2, 72);
    f.Group(IDC_CRITERIA, "Import Criteria", 2, 3, 40, 4);
    f.Edit(IDC_STORE, "Store : ", 4, 4, 6, KVT_BIND(PVimpdataData, STORE));
    f.Edit(IDC_TILLREF, "Till Reference : ", 4, 5, 6, KVT_BIND(PVimpdataData, TILLREF));
    f.Check(IDC_REIMPORT, "&Re-Import Data", 46, 4);
    KVTFieldDecl& grid = f.Grid(IDC_GRID, 2, 8, 12);
    grid.MarkColumn(4);
    for (auto [title, width] : {std::pair{"File Name", 24},
                                {"File Path", 20},
                                {"store", 6},
                                {"till", 6},
                                {"Date Exported", 10},
                                {"Date & Time Created", 22},
                                {"Sort Field", 18}})
      grid.Column(title, width, 251);
    f.Check(IDC_SELALL, "Select &All Rows", 2, 22);
    f.Button(IDC_CHANGE, "C&hange Import Criteria", 2, 24);
    f.Button(IDC_OK, "&Import", 40, 24);
    f.Button(IDCANCEL, "Cancel", 54, 24);
    return f;
  }();
  return form;
}

KVTImportDataForm::KVTImportDataForm(KVTScreen* screen) : screen_(screen) {
  screen->SetTransferBuffer(&Data);
  screen->SetFieldChecker(&criteria_);
  screen->OnChange(IDC_REIMPORT, [this] { ReimportToggled(); });
  screen->OnChange(IDC_SELALL, [this] { SelectAll(); });
  screen->OnCommand(IDC_OK, [this] { Cmidc_ok(); });
  screen->OnCommand(IDC_CHANGE, [this] { InitForm(); });
  screen->OnGridClick(IDC_GRID, [this](int row) { Toggle(row); });
}

int KVTImportDataForm::Criteria::VerifyFields(int id) {
  if (id != IDC_TILLREF) return 0;
  form_->DisplayDataToImport(form_->Data.STORE, form_->Data.TILLREF);
  return 1;
}

bool KVTImportDataForm::Reimport() const {
  return screen_->GetCheck(IDC_REIMPORT);
}

void KVTImportDataForm::InitForm() {
  std::string store = DEFAULT_STORE, till = DEFAULT_TILLREF;
  screen_->UnprotectField(IDC_STORE);
  screen_->UnprotectField(IDC_TILLREF);
  screen_->SetCheck(IDC_REIMPORT, false);
  screen_->SetFieldText(IDC_TEXT,
                        "This process will import data taken from the home office or the till.");
  screen_->SetFieldLabel(IDC_OK, "&Import");
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->ResetData();
  for (int col : {COL_FILE, COL_PATH, COL_STORE, COL_TILL, COL_DATE, COL_SORT})
    grid->SetColHidden(col, DEBUGMODE == 0);
  bool none = false;
  std::string error;
  if (!KVTExchange::NoStores(&none, &error)) {
    screen_->MessageBox(error.c_str(), "Error", MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  if (none) {  // a new till database: where it is and where its files are, first
    PVdriveDlg drive(screen_->Handle());
    if (drive.Execute() != IDOK) {
      screen_->KVTSetFieldFocus(IDCANCEL);
      return;
    }
    screen_->SetFieldVar(IDC_STORE, drive.store.c_str());
    screen_->SetFieldVar(IDC_TILLREF, drive.till.c_str());
    DisplayDataToImport(drive.store, drive.till, false);
    return;
  }
  screen_->SetFieldVar(IDC_STORE, store.c_str());
  screen_->SetFieldVar(IDC_TILLREF, till.c_str());
  const bool complete = !store.empty() && !till.empty();
  for (int id : {IDC_CRITERIA, IDC_STORE, IDC_TILLREF}) screen_->ShowField(id, !complete);
  if (complete)
    DisplayDataToImport(store, till);
  else
    screen_->KVTSetFieldFocus(store.empty() ? IDC_STORE : IDC_TILLREF);
}

void KVTImportDataForm::DisplayDataToImport(const std::string& store, const std::string& till,
                                            bool check) {
  if (check) {
    bool tillField = false;
    std::string problem = KVTExchange::CheckCriteria(store, till, &tillField);
    if (!problem.empty()) {
      screen_->MessageBox(problem.c_str(), PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
      screen_->KVTSetFieldFocus(tillField ? IDC_TILLREF : IDC_STORE);
      return;
    }
  }
  std::string error, directory;
  if (!KVTExchange::TillDirectConnect(store, till, &direct_, &error)) {
    screen_->MessageBox(error.c_str(), "Error", MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  if (Reimport()) {
    if (!bDoKVTPOSGetArchiveDirectory(screen_->Handle(), &directory, &error)) {
      screen_->MessageBox(error.c_str(), "Archive Directory Error", MB_OK | MB_ICONSTOP);
      screen_->KVTSetFieldFocus(IDCANCEL);
      return;
    }
  } else if (!direct_ &&
             !bDoKVTPOSGetTransferDirectory(screen_->Handle(), store, till, &directory, &error)) {
    screen_->MessageBox(error.c_str(), "Connection Drive Error", MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(IDCANCEL);
    return;
  }
  screen_->ProtectField(IDC_STORE);
  screen_->ProtectField(IDC_TILLREF);
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->ResetData();
  std::vector<KVTExchangeFile> files;
  if (!KVTExchange::ListFiles(directory, KVTExchange::UpdatePrefix(store, till), false, &files,
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
    grid->UpdateCell(COL_CREATED, f.created);
    grid->UpdateCell(COL_SORT, f.sort);
  }
  bool one = !Reimport() && files.size() == 1;
  screen_->SetCheck(IDC_SELALL, one);
  if (one)
    SelectAll();
  else
    screen_->KVTSetFieldFocus(IDC_GRID);
}

void KVTImportDataForm::ReimportToggled() {
  const bool re = Reimport();
  screen_->SetFieldText(IDC_TEXT,
                        re ? "This process will re-import data taken from the home office or till."
                           : "This process will import data taken from the home office or the "
                             "till.");
  screen_->SetFieldLabel(IDC_OK, re ? "Re-&Import" : "&Import");
  screen_->DoScrToApp();
  DisplayDataToImport(Data.STORE, Data.TILLREF);
}

void KVTImportDataForm::Toggle(int row) {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->SetRowMark(row, grid->GetRowMark(row) ? nullptr : SCheck());
}

void KVTImportDataForm::SelectAll() {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  bool on = screen_->GetCheck(IDC_SELALL);
  for (int row = 0; row < grid->GetRowCount(); ++row)
    grid->SetRowMark(row, on ? SCheck() : nullptr);
  screen_->KVTSetFieldFocus(on ? IDC_OK : IDC_GRID);
}

void KVTImportDataForm::Cmidc_ok() {
  screen_->EnableField(IDCANCEL, false);
  screen_->EnableField(IDC_OK, false);
  screen_->DoScrToApp();
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  int selected = 0, successes = 0, failures = 0;
  std::string error;
  for (int row = 0; row < grid->GetRowCount(); ++row) {
    if (grid->GetRowMark(row) != SCheck()) continue;
    ++selected;
    std::string path = grid->GetCell(COL_PATH, row) + grid->GetCell(COL_FILE, row);
    if (bDoKVTPOSImportUpdateInformation(screen_->Handle(), Data.STORE, Data.TILLREF, path,
                                         &error)) {
      grid->SetRowMark(row, SCheckG());
      ++successes;
    } else {
      screen_->MessageBox(error.c_str(), "Import Data Error", MB_OK | MB_ICONSTOP);
      grid->SetRowMark(row, RedX());
      ++failures;
    }
  }
  // A till on the office database reads its data there once more.
  if (std::strcmp(CFG_BOSYSTEM, "2") == 0 && direct_) {
    ++selected;
    if (bDoKVTPOSImportUpdateInformation(screen_->Handle(), Data.STORE, Data.TILLREF, "", &error)) {
      ++successes;
    } else {
      screen_->MessageBox(error.c_str(), "Import Data Error", MB_OK | MB_ICONSTOP);
      ++failures;
    }
  }
  if (selected == 0) {
    screen_->MessageBox("Nothing was selected to be imported.", PROGRAM_NAME,
                        MB_OK | MB_ICONINFORMATION);
  } else {
    std::string text = KVTExchange::ImportResult(successes, failures, false);
    screen_->MessageBox(text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
  }
  screen_->EnableField(IDCANCEL, true);
  screen_->EnableField(IDC_OK, true);
  if (!DEFAULT_STORE[0] || !DEFAULT_TILLREF[0])
    InitForm();
  else
    screen_->CloseWindow(IDOK);
}

PVimpdataDlg::PVimpdataDlg(HWND parent) : PVMDIDialog(parent, KVTImportDataForm::FormDecl()) {}

KVT_REGISTER_SCREEN(PVimpdataDlg);

#include "backoffice/impdatadlg.h"

#include <cstring>
#include <string>
#include <vector>

#include "backoffice/exchange.h"
#include "backoffice/exchangecalls.h"
#include "platform/base/kvtbase.h"
#include "shell/globals.h"
#include "shell/screens.h"

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
  static const KVTFormDecl form =
      Declare("PVimpdataDlg", "Import Data", "&Re-Import Data", KVT_BIND(PVimpdataData, STORE),
              KVT_BIND(PVimpdataData, TILLREF),
              {{"File Name", 24},
               {"File Path", 20},
               {"store", 6},
               {"till", 6},
               {"Date Exported", 10},
               {"Date & Time Created", 22},
               {"Sort Field", 18}});
  return form;
}

KVTImportDataForm::KVTImportDataForm(KVTScreen* screen)
    : KVTFileImportForm(screen, Data.STORE, Data.TILLREF) {
  screen->SetTransferBuffer(&Data);
}

void KVTImportDataForm::SetTexts(bool re) {
  screen_->SetFieldText(IDC_TEXT,
                        re ? "This process will re-import data taken from the home office or till."
                           : "This process will import data taken from the home office or the "
                             "till.");
}

void KVTImportDataForm::InitForm() {
  ResetForm({COL_FILE, COL_PATH, COL_STORE, COL_TILL, COL_DATE, COL_SORT});
  bool none = false;
  std::string error;
  if (!KVTExchange::NoStores(&none, &error)) return Refuse(error, "Error");
  if (none) {  // a new till database: where it is and where its files are, first
    PVdriveDlg drive(screen_->Handle());
    if (drive.Execute() != IDOK) {
      screen_->KVTSetFieldFocus(IDCANCEL);
      return;
    }
    screen_->SetFieldVar(IDC_STORE, drive.store.c_str());
    screen_->SetFieldVar(IDC_TILLREF, drive.till.c_str());
    List(drive.store, drive.till, false);
    return;
  }
  StartWithDefaults(DEFAULT_STORE, DEFAULT_TILLREF);
}

void KVTImportDataForm::List(const std::string& store, const std::string& till, bool check) {
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
  if (!KVTExchange::TillDirectConnect(store, till, &direct_, &error)) return Refuse(error, "Error");
  if (Reimport()) {
    if (!bDoKVTPOSGetArchiveDirectory(screen_->Handle(), &directory, &error))
      return Refuse(error, "Archive Directory Error");
  } else if (!direct_ &&
             !bDoKVTPOSGetTransferDirectory(screen_->Handle(), store, till, &directory, &error)) {
    return Refuse(error, "Connection Drive Error");
  }
  ListInGrid(directory, KVTExchange::UpdatePrefix(store, till), false);
}

void KVTImportDataForm::FillRow(TDataTbl* grid, const KVTExchangeFile& f) {
  grid->UpdateCell(COL_CREATED, f.created);
  grid->UpdateCell(COL_SORT, f.sort);
}

KVTFileImportForm::Outcome KVTImportDataForm::ImportRow(int row, std::string* error) {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  std::string path = grid->GetCell(COL_PATH, row) + grid->GetCell(COL_FILE, row);
  return bDoKVTPOSImportUpdateInformation(screen_->Handle(), Data.STORE, Data.TILLREF, path, error)
             ? Outcome::Imported
             : Outcome::Failed;
}

// A till on the office database reads its data there once more.
void KVTImportDataForm::AfterRows(int* selected, int* successes, int* failures) {
  if (std::strcmp(CFG_BOSYSTEM, "2") != 0 || !direct_) return;
  ++*selected;
  std::string error;
  if (bDoKVTPOSImportUpdateInformation(screen_->Handle(), Data.STORE, Data.TILLREF, "", &error)) {
    ++*successes;
  } else {
    screen_->MessageBox(error.c_str(), "Import Data Error", MB_OK | MB_ICONSTOP);
    ++*failures;
  }
}

PVimpdataDlg::PVimpdataDlg(HWND parent) : PVMDIDialog(parent, KVTImportDataForm::FormDecl()) {}

bool PVimpdataDlg::PreProcessMsg(MSG& msg) {
  if (msg.message == WM_KEYDOWN && Form.GridKey(static_cast<UINT>(msg.wParam))) return true;
  return PVMDIDialog::PreProcessMsg(msg);
}

KVT_REGISTER_SCREEN(PVimpdataDlg);

// The file-list import screens' shared part.
#include "backoffice/fileimport.h"

#include "shell/globals.h"

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

KVTFormDecl KVTFileImportForm::Declare(const char* name, const char* heading, const char* reimport,
                                       KVTBufferRef store, KVTBufferRef till,
                                       const std::vector<std::pair<const char*, int>>& columns) {
  KVTFormDecl f(name, heading, 76, 26);
  f.Label(IDC_TITLE, heading, 2, 1, 40);
  f.Label(IDC_TEXT, "", 2, 2, 72);
  f.Group(IDC_CRITERIA, "Import Criteria", 2, 3, 40, 4);
  f.Edit(IDC_STORE, "Store : ", 4, 4, 6, std::move(store));
  f.Edit(IDC_TILLREF, "Till Reference : ", 4, 5, 6, std::move(till));
  f.Check(IDC_REIMPORT, reimport, 46, 4);
  KVTFieldDecl& grid = f.Grid(IDC_GRID, 2, 8, 12);
  grid.MarkColumn(4);
  for (const auto& [title, width] : columns) grid.Column(title, width, 251);
  f.Check(IDC_SELALL, "Select &All Rows", 2, 22);
  f.Button(IDC_CHANGE, "C&hange Import Criteria", 2, 24);
  f.Button(IDC_OK, "&Import", 40, 24);
  f.Button(IDCANCEL, "Cancel", 54, 24);
  return f;
}

KVTFileImportForm::KVTFileImportForm(KVTScreen* screen, char* store, char* till)
    : screen_(screen), store_(store), till_(till) {
  screen->SetFieldChecker(&criteria_);
  screen->OnChange(IDC_REIMPORT, [this] { ReimportToggled(); });
  screen->OnChange(IDC_SELALL, [this] { SelectAll(); });
  screen->OnCommand(IDC_OK, [this] { Cmidc_ok(); });
  screen->OnCommand(IDC_CHANGE, [this] { InitForm(); });
  screen->OnGridClick(IDC_GRID, [this](int row) { Toggle(row); });
}

int KVTFileImportForm::Criteria::VerifyFields(int id) {
  if (id != IDC_TILLREF) return 0;
  form_->DisplayDataToImport(form_->store_, form_->till_);
  return 1;
}

bool KVTFileImportForm::Reimport() const {
  return screen_->GetCheck(IDC_REIMPORT);
}

void KVTFileImportForm::ResetForm(const std::vector<int>& debugColumns) {
  screen_->UnprotectField(IDC_STORE);
  screen_->UnprotectField(IDC_TILLREF);
  screen_->SetCheck(IDC_REIMPORT, false);
  SetTexts(false);
  screen_->SetFieldLabel(IDC_OK, "&Import");
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->ResetData();
  for (int col : debugColumns) grid->SetColHidden(col, DEBUGMODE == 0);
}

void KVTFileImportForm::StartWithDefaults(const std::string& store, const std::string& till) {
  screen_->SetFieldVar(IDC_STORE, store.c_str());
  screen_->SetFieldVar(IDC_TILLREF, till.c_str());
  const bool complete = !store.empty() && !till.empty();
  for (int id : {IDC_CRITERIA, IDC_STORE, IDC_TILLREF}) screen_->ShowField(id, !complete);
  if (complete)
    DisplayDataToImport(store, till);
  else
    screen_->KVTSetFieldFocus(store.empty() ? IDC_STORE : IDC_TILLREF);
}

void KVTFileImportForm::Refuse(const std::string& text, const char* caption) {
  screen_->MessageBox(text.c_str(), caption, MB_OK | MB_ICONSTOP);
  screen_->KVTSetFieldFocus(IDCANCEL);
}

void KVTFileImportForm::ListInGrid(const std::string& directory, const std::string& prefix,
                                   bool sales) {
  screen_->ProtectField(IDC_STORE);
  screen_->ProtectField(IDC_TILLREF);
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->ResetData();
  std::vector<KVTExchangeFile> files;
  std::string error;
  if (!KVTExchange::ListFiles(directory, prefix, sales, &files, &error))
    return Refuse(error, "Connection Drive Error");
  for (const KVTExchangeFile& f : files) {
    grid->InsertRow();
    grid->UpdateCell(COL_FILE, f.fileName);
    grid->UpdateCell(COL_PATH, f.path);
    grid->UpdateCell(COL_STORE, f.store);
    grid->UpdateCell(COL_TILL, f.till);
    grid->UpdateCell(COL_DATE, f.date);
    FillRow(grid, f);
  }
  screen_->KVTSetFieldFocus(IDC_GRID);
  CheckIfOneDataSet();
}

void KVTFileImportForm::ReimportToggled() {
  SetTexts(Reimport());
  screen_->SetFieldLabel(IDC_OK, Reimport() ? "Re-&Import" : "&Import");
  screen_->DoScrToApp();
  DisplayDataToImport(store_, till_);
}

void KVTFileImportForm::CheckIfOneDataSet() {
  bool one = !Reimport() && screen_->Grid(IDC_GRID)->GetRowCount() == 1;
  screen_->SetCheck(IDC_SELALL, one);
  if (one)
    SelectAll();
  else
    screen_->KVTSetFieldFocus(IDC_GRID);
}

void KVTFileImportForm::Toggle(int row) {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  grid->SetRowMark(row, grid->GetRowMark(row) ? nullptr : SCheck());
}

void KVTFileImportForm::SelectAll() {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  bool on = screen_->GetCheck(IDC_SELALL);
  for (int row = 0; row < grid->GetRowCount(); ++row)
    grid->SetRowMark(row, on ? SCheck() : nullptr);
  screen_->KVTSetFieldFocus(on ? IDC_OK : IDC_GRID);
}

bool KVTFileImportForm::GridKey(UINT vk) {
  if (screen_->GetFocusField() != IDC_GRID) return false;
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  int row = grid->GetCurRow();
  if (vk != VK_SPACE || row < 0) return false;
  Toggle(row);
  if (row == grid->GetRowCount() - 1)
    screen_->KVTSetFieldFocus(IDC_OK);
  else
    grid->SetCurCell(grid->GetCurCol(), row + 1);
  return true;
}

void KVTFileImportForm::Cmidc_ok() {
  screen_->EnableField(IDCANCEL, false);
  screen_->EnableField(IDC_OK, false);
  screen_->DoScrToApp();
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  int selected = 0, successes = 0, failures = 0;
  for (int row = 0; row < grid->GetRowCount(); ++row) {
    if (grid->GetRowMark(row) != SCheck()) continue;
    ++selected;
    std::string error;
    switch (ImportRow(row, &error)) {
      case Outcome::Imported:
        grid->SetRowMark(row, SCheckG());
        ++successes;
        break;
      case Outcome::Failed:
        screen_->MessageBox(error.c_str(), ErrorCaption(), MB_OK | MB_ICONSTOP);
        grid->SetRowMark(row, RedX());
        ++failures;
        break;
      case Outcome::Declined:
        grid->SetRowMark(row, RedX());
    }
  }
  AfterRows(&selected, &successes, &failures);
  std::string text = selected == 0 ? "Nothing was selected to be imported."
                                   : KVTExchange::ImportResult(successes, failures, SalesSummary());
  screen_->MessageBox(text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
  screen_->EnableField(IDCANCEL, true);
  screen_->EnableField(IDC_OK, true);
  if (!DEFAULT_STORE[0] || !DEFAULT_TILLREF[0])
    InitForm();
  else
    screen_->CloseWindow(IDOK);
}

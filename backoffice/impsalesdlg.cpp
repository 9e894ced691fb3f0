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
const KVTFormDecl& KVTImportSalesForm::FormDecl() {
  static const KVTFormDecl form =
      Declare("PVimpsalesDlg", "Import Sales", "&Re-Import Sales", KVT_BIND(PVimpsalesData, STORE),
              KVT_BIND(PVimpsalesData, TILLREF),
              {{"Filename", 24},
               {"File Path", 20},
               {"Store", 6},
               {"Till", 6},
               {"Sale Date", 10},
               {"Shift", 6},
               {"Date & Time Created", 22},
               {"Sort Field", 12}});
  return form;
}

KVTImportSalesForm::KVTImportSalesForm(KVTScreen* screen)
    : KVTFileImportForm(screen, Data.STORE, Data.TILLREF) {
  screen->SetTransferBuffer(&Data);
}

void KVTImportSalesForm::SetTexts(bool re) {
  screen_->SetFieldText(IDC_TITLE, re ? "Re-Import Sales" : "Import Sales");
  screen_->SetFieldText(
      IDC_TEXT, re ? "This process will re-import sales made at the till and transfer to A/R, "
                     "C-Store and/or Price Book."
                   : "This process will import sales made at the till and transfer to A/R, "
                     "C-Store and/or Price Book.");
}

void KVTImportSalesForm::InitForm() {
  ResetForm({COL_FILE, COL_PATH, COL_STORE, COL_TILL, COL_SORT});
  StartWithDefaults(DEFAULT_STORE, DEFAULT_TILLREF);
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
  if (!KVTExchange::TillDirectConnect(store, till, &direct, &error)) return Refuse(error, "Error");
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
  if (!found)
    return Refuse(error, Reimport() ? "Archive Directory Error" : "Connection Drive Error");
  ListInGrid(directory, KVTExchange::SalesPrefix(store, till), true);
}

void KVTImportSalesForm::FillRow(TDataTbl* grid, const KVTExchangeFile& f) {
  grid->UpdateCell(COL_SHIFT, f.shift);
  grid->UpdateCell(COL_CREATED, f.created);
  grid->UpdateCell(COL_SORT, f.sort);
}

KVTFileImportForm::Outcome KVTImportSalesForm::ImportRow(int row, std::string* error) {
  TDataTbl* grid = screen_->Grid(IDC_GRID);
  std::string path = grid->GetCell(COL_PATH, row) + grid->GetCell(COL_FILE, row);
  KVTImportOptions options{Data.STORE,
                           Data.TILLREF,
                           grid->GetCell(COL_SHIFT, row),
                           grid->GetCell(COL_DATE, row),
                           "",
                           "",
                           "",
                           ""};
  const bool re = Reimport();
  if (re) {
    sql::Result r =
        sql::Run("SELECT TRNST, TRNPB, TRNCST FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
                 {sql::Text(options.store), sql::Text(options.tillRef)});
    if (r.found() == sql::Found::Failed) {
      *error = "The till's transfer settings could not be read: " + r.error();
      return Outcome::Failed;
    }
    if (r.found() == sql::Found::Yes) {
      options.trnST = KVTCut(r.first()["TRNST"], 20);
      options.trnPB = KVTCut(r.first()["TRNPB"], 20);
      options.trnCST = KVTCut(r.first()["TRNCST"], 20);
    }
    if (!KVTAskReimportOptions(screen_->Handle(), &options)) return Outcome::Declined;
  }
  return bDoKVTPOSImportSalesInformation(screen_->Handle(), path, options, re, error)
             ? Outcome::Imported
             : Outcome::Failed;
}

PVimpsalesDlg::PVimpsalesDlg(HWND parent) : PVMDIDialog(parent, KVTImportSalesForm::FormDecl()) {}

bool PVimpsalesDlg::PreProcessMsg(MSG& msg) {
  if (msg.message == WM_KEYDOWN && Form.GridKey(static_cast<UINT>(msg.wParam))) return true;
  return PVMDIDialog::PreProcessMsg(msg);
}

KVT_REGISTER_SCREEN(PVimpsalesDlg);

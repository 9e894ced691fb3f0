// The import data screen (PVimpdataDlg): lists the "TU-" update files of a
// store and till and hands each marked one to the transfer module; on a new
// till database the set-up popup (PVdriveDlg) first records the till and
// where its files are. Forwards to KVTImportDataForm, a file-list import
// (KVTFileImportForm).
#pragma once

#include <string>

#include "backoffice/fileimport.h"
#include "platform/forms/forms.h"

struct PVimpdataData {
  char STORE[7];
  char TILLREF[7];
};

struct PVdriveData {
  char STORE[81];
  char TILLREF[81];
  char CONPATH[51];
};

// The first-import set-up popup.
class PVdriveDlg : public PVDialog {
 public:
  enum : int {
    IDC_TEXT = 100,
    IDC_STORE = 101,
    IDC_TILLREF = 102,
    IDC_CONPATH = 103,
    IDC_FLOPPY = 104
  };
  static const KVTFormDecl& FormDecl();
  explicit PVdriveDlg(HWND parent);
  PVdriveData Data{};
  std::string store, till;  // copied back on success

 protected:
  void CmOk() override;
};

class KVTImportDataForm : public KVTFileImportForm {
 public:
  enum : int { COL_CREATED = COL_DATE + 1, COL_SORT };

  static const KVTFormDecl& FormDecl();
  explicit KVTImportDataForm(KVTScreen* screen);

  void InitForm() override;
  void DisplayDataToImport(const std::string& store, const std::string& till) override {
    List(store, till, true);
  }
  // The listing; `check` false skips the criteria checks (the set-up popup's till).
  void List(const std::string& store, const std::string& till, bool check);

  PVimpdataData Data{};

 protected:
  void SetTexts(bool reimport) override;
  void FillRow(TDataTbl* grid, const KVTExchangeFile& file) override;
  Outcome ImportRow(int row, std::string* error) override;
  void AfterRows(int* selected, int* successes, int* failures) override;
  const char* ErrorCaption() const override { return "Import Data Error"; }
  bool SalesSummary() const override { return false; }

 private:
  bool direct_ = false;
};

class PVimpdataDlg : public PVMDIDialog {
 public:
  explicit PVimpdataDlg(HWND parent);
  KVTImportDataForm Form{this};

 protected:
  void SetupWindow() override { Form.InitForm(); }
  bool PreProcessMsg(MSG& msg) override;
};

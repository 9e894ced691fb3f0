// The import data screen (PVimpdataDlg): lists the "TU-" update files of a
// store and till and hands each marked one to the transfer module; on a new
// till database the set-up popup (PVdriveDlg) first records the till and
// where its files are. Forwards to KVTImportDataForm.
#pragma once

#include <string>

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

class KVTImportDataForm {
 public:
  enum : int {
    IDC_TITLE = 100,
    IDC_TEXT = 101,
    IDC_CRITERIA = 102,
    IDC_REIMPORT = 103,
    IDC_GRID = 104,
    IDC_SELALL = 105,
    IDC_OK = 106,
    IDC_CHANGE = 107,
    IDC_TILLREF = 176,
    IDC_STORE = 179,
  };
  enum : int {
    COL_MARK = 0,
    COL_FILE,
    COL_PATH,
    COL_STORE,
    COL_TILL,
    COL_DATE,
    COL_CREATED,
    COL_SORT
  };

  static const KVTFormDecl& FormDecl();
  explicit KVTImportDataForm(KVTScreen* screen);

  void InitForm();
  void DisplayDataToImport(const std::string& store, const std::string& till, bool check = true);
  void ReimportToggled();
  void Toggle(int row);
  void SelectAll();
  void Cmidc_ok();

  PVimpdataData Data{};

 private:
  class Criteria : public KVTFieldChecker {
   public:
    explicit Criteria(KVTImportDataForm* form) : form_(form) {}
    int VerifyFields(int id) override;

   private:
    KVTImportDataForm* form_;
  };
  bool Reimport() const;
  KVTScreen* screen_;
  Criteria criteria_{this};
  bool direct_ = false;
};

class PVimpdataDlg : public PVMDIDialog {
 public:
  explicit PVimpdataDlg(HWND parent);
  KVTImportDataForm Form{this};

 protected:
  void SetupWindow() override { Form.InitForm(); }
};

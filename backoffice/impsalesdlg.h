// The import sales screen (PVimpsalesDlg): lists the "ST-" files of a store
// and till from the till's exchange directory (or, re-importing, from the
// archive) and hands each marked file to the transfer module. A till on a
// direct connection has no files to import. The screen forwards to
// KVTImportSalesForm.
#pragma once

#include <string>

#include "platform/forms/forms.h"

struct PVimpsalesData {
  char STORE[7];
  char TILLREF[7];
};

class KVTImportSalesForm {
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
    COL_SHIFT,
    COL_CREATED,
    COL_SORT
  };

  static const KVTFormDecl& FormDecl();
  explicit KVTImportSalesForm(KVTScreen* screen);

  void InitForm();
  void DisplayDataToImport(const std::string& store, const std::string& till);
  void ReimportToggled();
  void CheckIfOneDataSet();
  void Toggle(int row);
  void SelectAll();
  void Cmidc_ok();
  bool GridKey(UINT vk);

  PVimpsalesData Data{};

 private:
  // Leaving the till field by a key lists the files of the criteria.
  class Criteria : public KVTFieldChecker {
   public:
    explicit Criteria(KVTImportSalesForm* form) : form_(form) {}
    int VerifyFields(int id) override;

   private:
    KVTImportSalesForm* form_;
  };
  bool Reimport() const;
  KVTScreen* screen_;
  Criteria criteria_{this};
};

class PVimpsalesDlg : public PVMDIDialog {
 public:
  explicit PVimpsalesDlg(HWND parent);
  KVTImportSalesForm Form{this};

 protected:
  void SetupWindow() override { Form.InitForm(); }
  bool PreProcessMsg(MSG& msg) override;
};

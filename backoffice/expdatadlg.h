// The export data screen (PVexpdataDlg): writes the update files of one
// store and till, or of all of them, through the transfer module. Forwards
// to KVTExportDataForm.
#pragma once

#include "platform/forms/forms.h"

struct PVexpdataData {
  char STORE[7];
  char TILLREF[7];
};

class KVTExportDataForm {
 public:
  enum : int {
    IDC_TITLE = 100,
    IDC_TEXT = 101,
    IDC_ALL = 102,
    IDC_OK = 103,
    IDC_TILLREF = 176,
    IDC_STORE = 179,
  };

  static const KVTFormDecl& FormDecl();
  explicit KVTExportDataForm(KVTScreen* screen);

  void InitForm();
  void AllToggled();
  void Cmidc_ok();

  PVexpdataData Data{};

 private:
  KVTScreen* screen_;
};

class PVexpdataDlg : public PVMDIDialog {
 public:
  explicit PVexpdataDlg(HWND parent);
  KVTExportDataForm Form{this};

 protected:
  void SetupWindow() override { Form.InitForm(); }
};

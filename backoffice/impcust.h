// The customer import screen (PVimpcustDlg, "Import Customer Data"): the
// folder holding POSFILES.ZIP, with a browse button. OK unpacks the archive's
// ICUST table with the compression program into the work folder and replaces
// every customer with its rows (KVTCustomerImport), showing the progress.
// Every stop before the customers are replaced leaves them untouched and
// returns to the path.
#pragma once

#include <string>

#include "platform/forms/forms.h"

struct PVimpcustData {
  char PATH[251];
};

class PVimpcustDlg : public PVMDIDialog {
 public:
  enum : int { IDC_TEXT = 100, IDC_PATH = 101, IDC_BROWSE = 102 };
  static const KVTFormDecl& FormDecl();
  explicit PVimpcustDlg(HWND parent);

  void Cmidc_ok();
  void Cmidc_browse();

  PVimpcustData Data{};

 protected:
  void SetupWindow() override;
  void CmOk() override { Cmidc_ok(); }

 private:
  // A stop before anything changed: the box, then the focus on the path.
  void Stop(const std::string& text, const char* caption, UINT icon);
};

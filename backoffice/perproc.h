// The "Periodic Procedures" screen (PVperprocDlg): End of Day, Month and
// Year through the period dialog, the purge of old sales and the change and
// copy of sales categories.
#pragma once

#include "platform/forms/forms.h"

class PVperprocDlg : public PVMDIDialog {
 public:
  enum : int {
    IDC_ENDOFDAY = 101,
    IDC_ENDOFMONTH = 102,
    IDC_ENDOFYEAR = 103,
    IDC_PURGE = 104,
    IDC_CHANGECAT = 105,
    IDC_COPYCAT = 106,
  };

  explicit PVperprocDlg(HWND parent);
  static const KVTFormDecl& FormDecl();

  // The period dialog for `mode`; on OK the run starts.
  void RunPeriod(int mode);
  void Cmidc_purge();
  void Cmidc_changecat();
  void Cmidc_copycat();

 protected:
  // The default store the period dialog offers is loaded as the screen opens.
  void SetupWindow() override;
};

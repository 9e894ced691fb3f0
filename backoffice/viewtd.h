// The tax detail popup (PVviewtdDlg, "Tax Detail"): every tax of every line
// of one saved sale, in the order the taxes were saved.
#pragma once

#include <string>

#include "platform/forms/forms.h"

class PVviewtdDlg : public PVDialog {
 public:
  enum : int { IDC_DATATBL = 101, IDC_CLOSE = IDCANCEL };

  explicit PVviewtdDlg(HWND parent);
  static const KVTFormDecl& FormDecl();
  // The sale (INVOICELNK) whose taxes are shown; before Execute.
  void SetInvoiceLnk(const char* link) { link_ = link ? link : ""; }

 protected:
  void SetupWindow() override;

 private:
  std::string link_;
};

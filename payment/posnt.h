// The customer notes window (PVposntDlg): a charge customer's notes, joined
// one to a line, shown until the cashier goes on (Continue or Esc).
#pragma once

#include <string>

#include "platform/forms/forms.h"
#include "shell/screens.h"

struct PVposntData {
  char POSNOTES[16384];
};

class PVposntDlg : public PVDialog, public KVTKeyedScreen {
 public:
  enum : int { IDC_POSNOTES = 101 };

  explicit PVposntDlg(HWND parent);
  static const KVTFormDecl& FormDecl();
  // The customer whose notes are shown.
  void KVTSetReference(const char* key) override { reference_ = key ? key : ""; }

  PVposntData Data{};

 protected:
  void SetupWindow() override;

 private:
  std::string reference_;
};

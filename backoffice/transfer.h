// The transfer screen (PVtransferDlg): the groups of saved sales by store,
// day, till and (when shown) shift that are waiting for a transfer to
// accounting, or, in re-transfer mode, that were transferred; the operator
// marks groups and the action button hands each marked group to the
// transfer module (DoKVTPOSDirectAcquire), asking for the batch or the
// re-transfer options first. A group whose till shift is still logged in
// cannot be marked. Off a direct connection every text says export.
//
// The screen opens modally (TransferSales) or as an MDI child
// (DoTransferSalesByDay); both kinds forward to KVTTransferForm.
#pragma once

#include <string>
#include <vector>

#include "backoffice/transfers.h"
#include "platform/forms/forms.h"

// Hands one group to the transfer module (KVTCTM.DLL through module
// events): initialise, check its version, then "DoKVTPOSDirectTransfer"
// with `data`. False when it failed: start-up failures are shown here;
// the module's own error text comes back in *error.
bool DoKVTPOSDirectAcquire(HWND owner, const std::string& data, std::string* error);

class KVTTransferForm {
 public:
  enum : int {
    IDC_TITLE = 100,
    IDC_TEXT = 101,
    IDC_RETRANSFER = 102,
    IDC_DISPSHIFT = 103,
    IDC_GRID = 104,
    IDC_SELALL = 105,
    IDC_OK = 106,
  };
  // Grid columns.
  enum : int { COL_MARK = 0, COL_STORE, COL_DATE, COL_TILL, COL_SHIFT, COL_COUNT };

  static const KVTFormDecl& FormDecl();
  explicit KVTTransferForm(KVTScreen* screen);

  void InitForm();
  void LoadDataTable();
  void MarkActiveShifts();
  void RetransferToggled();
  void ShiftsToggled();
  void Toggle(int row);
  void SelectAll();
  // The action loop, its message, and the screen closes.
  void Cmidc_ok();
  // Keys on the grid (Space, Down); true when used.
  bool GridKey(UINT vk);
  // Saves the form default; before the screen closes.
  void SaveDefaults();

  bool Direct() const;
  bool Retransfer() const;
  bool ShowShifts() const;

 private:
  void Wording();
  KVTScreen* screen_;
  bool toggled_ = false;  // the re-transfer box was changed since the start
};

class PVtransferDlg : public PVDialog {
 public:
  explicit PVtransferDlg(HWND parent);
  KVTTransferForm Form{this};

 protected:
  void SetupWindow() override { Form.InitForm(); }
  bool PreProcessMsg(MSG& msg) override;
  void CmCancel() override;
};

// The same screen in an MDI child frame.
class PVtransferMDIDlg : public PVMDIDialog {
 public:
  explicit PVtransferMDIDlg(HWND parent);
  KVTTransferForm Form{this};

 protected:
  void SetupWindow() override { Form.InitForm(); }
  bool PreProcessMsg(MSG& msg) override;
  void CmCancel() override;
};

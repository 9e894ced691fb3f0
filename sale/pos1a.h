// The sale line table of the sale screen: checks of the entry fields as the
// cashier leaves them, the entry fields made into a grid line, and a stored
// sale loaded back into the line and tax grids.
#pragma once

#include <string>

#include "platform/forms/forms.h"

class PVpos1Dlg;

class KVTPOS1A : public KVTFieldChecker {
 public:
  // Works on `parent`'s buffer and grids.
  explicit KVTPOS1A(PVpos1Dlg* parent);
  ~KVTPOS1A() override;

  // The reference of the line that started a chain of tag-along items; the
  // chain stops when it comes back to it. The next item empties it.
  std::string sTagAlongLoopParent;
  PVpos1Dlg* ParentDlg;

  // 1 when the screen's connection (connection 1) is open.
  virtual int ConnectView();
  // Fields 101 to 105 as they are left by a key: 1 when the field was dealt
  // with here (the cursor stays or was moved), 0 to go on to the next field.
  int VerifyFields(int fieldId) override;
  // 1 when the reference is keyed; otherwise says so, empties it, puts the
  // cursor on it and returns 0.
  int VerifyRequiredFields() override;
  // Adds a line from the entry fields, or overwrites the selected line.
  // Returns what adding the item's tag-along gave (1 added, 0 none).
  virtual int AddItem();
  // Rebuild the stored sale whose INVOICELNK is in the buffer: its lines with
  // their hidden columns, its tax rows, its totals. A look-up that fails is
  // told to the cashier and nothing of what it was for is added.
  virtual void LoadTable();
  virtual void LoadTaxDataTable();
  virtual void LoadOrder();

 private:
  int VerifyReference();
  int VerifyDescription();
  int VerifyQuantity();
  int VerifyPrice();
  int VerifyAmount();
  double ApplySign(double value) const;  // kvt::sale::SignedForTillCode
  void FillRowFromBuffer(int row, const std::string& recno);
};

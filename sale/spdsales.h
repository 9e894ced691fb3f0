// The recall screen of parked sales (PVspdsalesDlg): the till shift's parked
// sales in one grid, the chosen sale's lines in the other; OK takes the
// chosen sale back to the sale screen, Cancel none.
#pragma once

#include <memory>

#include "platform/forms/forms.h"
#include "platform/sql/kvtsql.h"

struct PVspdsalesData {
  char ORDERNUM[81];
  char INVOICELNK[81];
};

class PVspdsalesDlg;

// The screen's model: the grids filled from kvt::sale (sale/suspended.h).
class SPDSALESA {
 public:
  explicit SPDSALESA(PVspdsalesDlg* screen) : screen_(screen) {}
  // The sales grid; false when there is none to show (or the look-up
  // failed, which has been shown).
  bool LoadTableTrans();
  void LoadTableItem();
  void ClearTableItem();
  // The sale of row `row` into the buffer and its lines into the items grid.
  void DisplayOrderItems(int row);

 private:
  PVspdsalesDlg* screen_;
};

class PVspdsalesDlg : public PVDialog {
 public:
  enum : int { IDC_ORDERNUM = 101, IDC_INVOICELNK = 102, IDC_TRANSTBL = 103, IDC_ITEMTBL = 104 };
  // Columns of the sales grid.
  enum : int {
    COL_EMPLOYEE,
    COL_SALENUM,
    COL_TOTAL,
    COL_CUSTREF,
    COL_CUSTNAME,
    COL_RECNO,
    COL_LINK
  };

  explicit PVspdsalesDlg(HWND parent);
  ~PVspdsalesDlg() override;
  static const KVTFormDecl& FormDecl();

  PVspdsalesData Data{};
  KVTConnection FConn{1};
  char szTransNum[50] = "";
  char szInvoiceLnk[50] = "";
  char szTillRef[50] = "";
  char szShift[50] = "";
  char szStore[50] = "";
  char szShiftDate[50] = "";
  char szEmployee[50] = "";
  SPDSALESA* VerifyPOSResume = nullptr;

  void CmOk() override;
  void CmCancel() override;
  void ClickDatatableTrans(int row);
  void DTSelChangeTrans(int row);

 protected:
  void SetupWindow() override;

 private:
  std::unique_ptr<SPDSALESA> model_;
};

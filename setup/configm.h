// "Configure this Computer" (PVconfigmDlg): the machine type, default store
// and till, pole display, receipt printer and cash drawer, printers, and
// the next sale number of the shared configuration record. The settings go
// to LOCAL_INI (KVTMachineSettings); a change of machine type asks for the
// host to be restarted.
#pragma once

#include "platform/forms/forms.h"
#include "setup/machine.h"

struct PVconfigmData {
  char STORE[11];
  char TILLREF[7];
  double RECNO;
  char NEXTSLNUM[7];
  char OPENTD[21];
};

class PVconfigmDlg;

class KVTCONFIGMA : public KVTFieldChecker {
 public:
  explicit KVTCONFIGMA(PVconfigmDlg* screen) : screen_(screen) {}
  // A store or till not on file opens its search.
  int VerifyFields(int fieldId) override;

 private:
  PVconfigmDlg* screen_;
};

class PVconfigmDlg : public PVDialog {
 public:
  enum : int {
    IDC_TILL = 101,
    IDC_BACKOFFICE = 102,
    IDC_BOTH = 103,
    IDC_STORE = 104,
    IDC_SRCHSTORE = 105,
    IDC_TILLREF = 106,
    IDC_SRCHTILL = 107,
    IDC_POLEDISPLAY = 108,
    IDC_RECPTRTYPE = 109,
    IDC_OPENTD = 110,
    IDC_DRAWERPORT = 111,
    IDC_RECEIPTPRINTER = 112,
    IDC_INVOICEPRINTER = 113,
    IDC_RECTOINV = 114,
    IDC_PAYTOINV = 115,
    IDC_NEXTSLNUM = 116,
  };

  explicit PVconfigmDlg(HWND parent);
  ~PVconfigmDlg() override;
  static const KVTFormDecl& FormDecl();

  // The drawer codes of the receipt printer type chosen.
  void Even_changeidc_recptrtype();
  void Cmidc_srchstore();
  void Cmidc_srchtill();
  // The settings as the screen shows them.
  KVTMachineSettings Settings() const;

  PVconfigmData Data{};
  KVTCONFIGMA* Checker;
  bool bChanged = false;

 protected:
  void SetupWindow() override;
  // Writes the settings and the sale number, then closes.
  void CmOk() override;
  void CmCancel() override;

 private:
  void Choose(int id, const std::string& value);
};

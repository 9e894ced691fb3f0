// "Enter/Edit Bad Checks" (PVpos11Dlg): the bank accounts whose checks the
// stores refuse, kept one record at a time, bound to KVTPOS11 through a form
// result set and stepped in account order. Unsaved changes are asked about
// before New, Find, Previous, Next and Cancel.
#pragma once

#include <memory>

#include "platform/forms/forms.h"
#include "platform/sql/orderedfetch.h"
#include "platform/sql/resultset.h"
#include "setup/badchecks.h"

struct PVpos11Data {
  char CKACCTNUM[13];
  char ACCTNAME[31];
  char DATEENT[21];
  char REF[31];
  char NUMCHANGE[81];
  double RECNO;
};

class PVpos11Dlg : public PVMDIDialog {
 public:
  enum : int {
    IDC_CKACCTNUM = 101,
    IDC_ACCTNAME = 102,
    IDC_DATEENT = 103,
    IDC_REF = 104,
    IDC_ACCEPT = 110,
    IDC_NEW = 111,
    IDC_FIND = 112,
    IDC_DELETE = 113,
    IDC_PREVIOUS = 114,
    IDC_NEXT = 115,
    IDC_REPORT = 116,
  };

  explicit PVpos11Dlg(HWND parent);
  ~PVpos11Dlg() override;
  static const KVTFormDecl& FormDecl();

  // Saves the screen; true when it was saved.
  bool Cmidc_accept();
  void Cmidc_new();
  void Cmidc_find();
  void Cmidc_delete();
  void Cmidc_previous();
  void Cmidc_next();
  void Cmidc_report();
  // The row with this record number into the screen and the ordered fetch.
  bool LoadRecord(double recno);

  PVpos11Data Data{};
  bool bChanged = false;

 protected:
  void SetupWindow() override;
  void CmCancel() override;

 private:
  class Fields;
  // The unsaved-changes question: true when the caller may go on.
  bool AskSave();
  void StartNew();
  void Step(bool forward);

  int lastField_ = IDC_CKACCTNUM;  // where the focus goes back to after Cancel
  std::unique_ptr<Fields> fields_;
  HVWRS rs_ = nullptr;
  OrderedFetch fetch_;
  KVTBadCheckList list_;
};

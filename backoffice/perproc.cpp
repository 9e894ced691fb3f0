// The Periodic Procedures screen.
#include "backoffice/perproc.h"

#include <memory>

#include "backoffice/eoper.h"
#include "backoffice/eopproc.h"
#include "shell/hostreq.h"
#include "shell/posmisc.h"
#include "shell/screens.h"

const KVTFormDecl& PVperprocDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVperprocDlg", "Periodic Procedures", 40, 14);
    f.Button(IDC_ENDOFDAY, "End of &Day", 4, 1);
    f.Button(IDC_ENDOFMONTH, "End of &Month", 4, 3);
    f.Button(IDC_ENDOFYEAR, "End of &Year", 4, 5);
    f.Button(IDC_PURGE, "&Purge", 4, 7);
    f.Button(IDC_CHANGECAT, "&Change Category", 4, 9);
    f.Button(IDC_COPYCAT, "C&opy Category", 4, 11);
    return f;
  }();
  return form;
}

PVperprocDlg::PVperprocDlg(HWND parent) : PVMDIDialog(parent, FormDecl()) {
  OnCommand(IDC_ENDOFDAY, [this] { RunPeriod(1); });
  OnCommand(IDC_ENDOFMONTH, [this] { RunPeriod(2); });
  OnCommand(IDC_ENDOFYEAR, [this] { RunPeriod(3); });
  OnCommand(IDC_PURGE, [this] { Cmidc_purge(); });
  OnCommand(IDC_CHANGECAT, [this] { Cmidc_changecat(); });
  OnCommand(IDC_COPYCAT, [this] { Cmidc_copycat(); });
}

void PVperprocDlg::SetupWindow() {
  GetDefaultLoc();
}

void PVperprocDlg::RunPeriod(int mode) {
  auto dialog = std::make_unique<PVeoperDlg>(Handle());
  dialog->SetMode(mode);
  if (dialog->Execute() != IDOK) return;
  StartEOPProcessing(Handle(), mode, dialog->GetStore().c_str());
}

void PVperprocDlg::Cmidc_purge() {
  KVTLoadManagedForm(Handle(), "KVPointOfSale.dll", "KV.PointOfSale.POS_Purge.POSPurge");
}

void PVperprocDlg::Cmidc_changecat() {
  KVTCallCStoreSibling(Handle(), "ChangeCStoreCat");
}

void PVperprocDlg::Cmidc_copycat() {
  KVTCallCStoreSibling(Handle(), "CopyCStoreCat");
}

KVT_REGISTER_SCREEN(PVperprocDlg);

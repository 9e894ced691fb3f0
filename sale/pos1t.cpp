// The till-side transfer: the shift is closed and its sales go to
// accounting through the transfer module's form.
#include <cstdlib>
#include <memory>
#include <string>

#include "sale/pos1.h"
#include "sale/suspended.h"
#include "shell/dotransfer.h"
#include "shell/globals.h"
#include "shell/screens.h"

void PVpos1Dlg::Transfer() {
  DoScrToApp();
  std::unique_ptr<PVDialog> password(KVTNewDialog("PVpasswordDlg", Handle(), "Password"));
  if (auto* p = dynamic_cast<KVTPasswordScreen*>(password.get())) p->SetTransferFlag("1");
  if (password->Execute() != IDOK || MessageBox("Closing Shift - Are you sure?", PROGRAM_NAME,
                                                MB_YESNO | MB_DEFBUTTON2) != IDYES) {
    NewOrder();
    return;
  }
  if (!EndShift()) return;
  const std::string date = kvt::sale::SlashedDate(Data.SHIFTDATE);
  char count[50];
  FindSalesCount(Data.STORE, date.c_str(), Data.TILLREF, Data.SHIFT, count);
  // The window closes in every case from here.
  if (std::atof(count) <= 0) {
    MessageBox("No untransferred sales found to transfer!", PROGRAM_NAME,
               MB_OK | MB_ICONINFORMATION);
    CloseForNextCashier();
    return;
  }
  std::unique_ptr<PVDialog> popup(KVTNewDialog("PVtrnbatchDlg", Handle(), "Point of Sale"));
  auto* group = dynamic_cast<KVTTransferGroupScreen*>(popup.get());
  if (group) {
    group->SetTranSalesCount(count);
    group->SetTranStore(Data.STORE);
    group->SetTranDate(date.c_str());
    group->SetTranTillRef(Data.TILLREF);
    group->SetTranShift(Data.SHIFT);
  }
  popup->Execute();
  if (!group || !group->TransferChosen()) {
    MessageBox("Transfer aborted!", PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
    CloseForNextCashier();
    return;
  }
  DoTransfer(Handle(), Data.STORE, Data.TILLREF, Data.SHIFT, date.c_str(), group->ChosenBatch(),
             "F");
  PrintClosedReport(Data.STORE, date.c_str(), Data.TILLREF, Data.SHIFT);
  CloseForNextCashier();
}

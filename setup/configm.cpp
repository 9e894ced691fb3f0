// The computer configuration screen.
#include "setup/configm.h"

#include <string>

#include "backoffice/tillshift.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/kvtsql.h"
#include "platform/win/printer.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace {

const int kTypes[] = {PVconfigmDlg::IDC_TILL, PVconfigmDlg::IDC_BACKOFFICE, PVconfigmDlg::IDC_BOTH};
const char* const kTypeNames[] = {"TILL", "BACKOFFICE", "BOTH"};

}  // namespace

int KVTCONFIGMA::VerifyFields(int fieldId) {
  if (!screen_->LastMessageWasKey()) return 0;
  PVconfigmData& d = screen_->Data;
  kvt::sql::Result found;
  if (fieldId == PVconfigmDlg::IDC_STORE) {
    TRIM(d.STORE);
    if (!d.STORE[0]) return 0;
    found = KVTTillShift::FindStore(d.STORE);
  } else if (fieldId == PVconfigmDlg::IDC_TILLREF) {
    TRIM(d.TILLREF);
    if (!d.TILLREF[0]) return 0;
    found = KVTTillShift::FindTill(d.TILLREF, d.STORE);
  } else {
    return 0;
  }
  if (found.found() == kvt::sql::Found::Yes) return 0;
  if (found.found() == kvt::sql::Found::Failed) {
    std::string text = "The stores and tills could not be read:\n\n" + found.error();
    screen_->MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  } else if (fieldId == PVconfigmDlg::IDC_STORE) {
    screen_->Cmidc_srchstore();
  } else {
    screen_->Cmidc_srchtill();
  }
  screen_->KVTSetFieldFocus(fieldId);
  return 1;
}

// ---------------------------------------------------------------------------

const KVTFormDecl& PVconfigmDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVconfigmDlg", "Configure this Computer", 70, 22);
    f.Group(0, "This computer is", 2, 0, 66, 3);
    f.Radio(IDC_TILL, "type", "&Till", 4, 1);
    f.Radio(IDC_BACKOFFICE, "type", "&Back Office", 20, 1);
    f.Radio(IDC_BOTH, "type", "B&oth", 40, 1);
    f.Edit(IDC_STORE, "Default Store: ", 26, 3, 10, KVT_BIND(PVconfigmData, STORE));
    f.Button(IDC_SRCHSTORE, "...", 38, 3).NoTabStop();
    f.Edit(IDC_TILLREF, "Default Till: ", 26, 4, 6, KVT_BIND(PVconfigmData, TILLREF));
    f.Button(IDC_SRCHTILL, "...", 38, 4).NoTabStop();
    f.Combo(IDC_POLEDISPLAY, "Pole Display: ", 26, 6, 20).Items(KVTPoleDisplays());
    f.Combo(IDC_RECPTRTYPE, "Receipt Printer Type: ", 26, 7, 20).Items(KVTReceiptPrinterTypes());
    f.Edit(IDC_OPENTD, "Codes to Open Drawer: ", 26, 8, 20, KVT_BIND(PVconfigmData, OPENTD));
    f.Combo(IDC_DRAWERPORT, "Till Drawer Port: ", 26, 9, 10).Items(KVTDrawerPorts());
    f.Combo(IDC_RECEIPTPRINTER, "Receipt Printer: ", 26, 11, 36);
    f.Combo(IDC_INVOICEPRINTER, "Invoice Printer: ", 26, 12, 36);
    f.Check(IDC_RECTOINV, "Print all &Receipts to Invoice Printer", 4, 14);
    f.Check(IDC_PAYTOINV, "Print all &Payments on Account to Invoice Printer", 4, 15);
    f.Edit(IDC_NEXTSLNUM, "Next Sale Number: ", 26, 17, 6, KVT_BIND(PVconfigmData, NEXTSLNUM));
    f.Button(IDOK, "&OK", 20, 20);
    f.Button(IDCANCEL, "Cancel", 36, 20);
    return f;
  }();
  return form;
}

PVconfigmDlg::PVconfigmDlg(HWND parent)
    : PVDialog(parent, FormDecl()), Checker(new KVTCONFIGMA(this)) {
  SetTransferBuffer(&Data);
  OnCommand(IDC_SRCHSTORE, [this] { Cmidc_srchstore(); });
  OnCommand(IDC_SRCHTILL, [this] { Cmidc_srchtill(); });
  OnChange(IDC_RECPTRTYPE, [this] {
    Even_changeidc_recptrtype();
    bChanged = true;
  });
  for (const KVTFieldDecl& f : FormDecl().fields)
    if (f.id != IDC_RECPTRTYPE && f.kind != KVTFieldKind::Button)
      OnChange(f.id, [this] { bChanged = true; });
}

PVconfigmDlg::~PVconfigmDlg() {
  SetFieldChecker(nullptr);
  delete Checker;
}

void PVconfigmDlg::Choose(int id, const std::string& value) {
  SetFieldText(id, value);
  for (int i = 0; i < GetListCount(id); ++i)
    if (GetListItem(id, i) == value) SetListSelection(id, i);
}

void PVconfigmDlg::SetupWindow() {
  SetFieldChecker(Checker);
  for (int id : {IDC_RECEIPTPRINTER, IDC_INVOICEPRINTER}) {
    ClearList(id);
    AddListItem(id, "None");
    AddListItem(id, "View Window");
    std::vector<std::string> printers;
    std::string unused;  // no print system: the two choices above remain
    KVTListPrinters(&printers, &unused);
    for (const std::string& p : printers) AddListItem(id, p);
  }
  KVTMachineSettings s = KVTMachineSettings::Read(LOCAL_INI, PROGRAM_NAME);
  for (int i = 0; i < 3; ++i) SetCheck(kTypes[i], s.machineType == kTypeNames[i]);
  KVTSetSetting(Data.STORE, s.defaultStore.c_str());
  KVTSetSetting(Data.TILLREF, s.defaultTill.c_str());
  KVTSetSetting(Data.OPENTD, s.drawerCodes.c_str());
  Choose(IDC_POLEDISPLAY, s.poleDisplay);
  Choose(IDC_RECPTRTYPE, s.receiptPrinterType);
  Choose(IDC_DRAWERPORT, s.drawerPort);
  Choose(IDC_RECEIPTPRINTER, s.receiptPrinter);
  Choose(IDC_INVOICEPRINTER, s.invoicePrinter);
  SetCheck(IDC_RECTOINV, s.recToInvPtr == "T");
  SetCheck(IDC_PAYTOINV, s.payToInvPtr == "T");
  std::string code;
  if (!KVTDrawerCodesFor(s.receiptPrinterType, &code)) ProtectField(IDC_OPENTD);

  KVTSaleNumber number;
  std::string error;
  if (KVTSaleNumber::Read(&number, &error) == kvt::sql::Found::Failed) {
    std::string text = "The configuration record could not be read:\n\n" + error;
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
  KVTSetSetting(Data.NEXTSLNUM, number.next.c_str());
  if (number.perStore) ProtectField(IDC_NEXTSLNUM);
  DoAppToScr();
  bChanged = false;
}

void PVconfigmDlg::Even_changeidc_recptrtype() {
  std::string codes;
  bool typed = KVTDrawerCodesFor(GetFieldText(IDC_RECPTRTYPE), &codes);
  KVTSetSetting(Data.OPENTD, codes.c_str());
  DoAppToScr(IDC_OPENTD);
  typed ? UnprotectField(IDC_OPENTD) : ProtectField(IDC_OPENTD);
}

void PVconfigmDlg::Cmidc_srchstore() {
  KVTSearchResult chosen;
  if (KVTSimpleSearch(Handle(), "STOREREFSRCH", "STOREREFFMT", &chosen)) {
    KVTSetSetting(Data.STORE, chosen.Value(0).c_str());
    DoAppToScr(IDC_STORE);
    bChanged = true;
  }
}

void PVconfigmDlg::Cmidc_srchtill() {
  DoScrToApp(IDC_STORE);
  std::string sql = "SELECT TILLNUM,STR(RECNO) FROM KVTCOM14 WHERE STOREREF = '" +
                    KVTSqlQuote(TRIM(Data.STORE)) + "'";
  KVTSearchResult chosen;
  if (SearchWin(Handle(), 0, &chosen, "TILLNUM, Till Reference,25,0", sql.c_str(), "Tills")) {
    KVTSetSetting(Data.TILLREF, chosen.Value(0).c_str());
    DoAppToScr(IDC_TILLREF);
    bChanged = true;
  }
}

KVTMachineSettings PVconfigmDlg::Settings() const {
  KVTMachineSettings s;
  for (int i = 0; i < 3; ++i)
    if (GetCheck(kTypes[i])) s.machineType = kTypeNames[i];
  s.defaultStore = Data.STORE;
  s.defaultTill = Data.TILLREF;
  s.poleDisplay = GetFieldText(IDC_POLEDISPLAY);
  s.receiptPrinterType = GetFieldText(IDC_RECPTRTYPE);
  s.drawerCodes = Data.OPENTD;
  s.drawerPort = GetFieldText(IDC_DRAWERPORT);
  s.receiptPrinter = GetFieldText(IDC_RECEIPTPRINTER);
  s.invoicePrinter = GetFieldText(IDC_INVOICEPRINTER);
  s.recToInvPtr = GetCheck(IDC_RECTOINV) ? "T" : "F";
  s.payToInvPtr = GetCheck(IDC_PAYTOINV) ? "T" : "F";
  return s;
}

void PVconfigmDlg::CmOk() {
  DoScrToApp();
  TRIM(Data.STORE);
  TRIM(Data.TILLREF);
  std::string before = KVTMachineSettings::Read(LOCAL_INI, PROGRAM_NAME).machineType;
  KVTMachineSettings s = Settings();
  std::vector<std::string> failures;
  s.Write(LOCAL_INI, PROGRAM_NAME, &failures);
  for (const std::string& f : failures) MessageBox(f.c_str(), PROGRAM_NAME, MB_OK | MB_ICONSTOP);
  std::string error;
  if (!KVTSaleNumber::Store(TRIM(Data.NEXTSLNUM), &error)) {
    std::string text = "The next sale number was not saved:\n\n" + error;
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
  if (s.machineType != before) {
    kvt::sql::Run("DROP TABLE KVT");  // the host's menu table; it rebuilds it at start
    MessageBox("Please close Kovatel Ledgerline and reopen it for the correct menu options.",
               PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
  }
  bChanged = false;
  CloseWindow(IDOK);
}

void PVconfigmDlg::CmCancel() {
  if (bChanged) {
    int answer = MessageBox("Changes have been made! Save changes?", PROGRAM_NAME,
                            MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return;
    if (answer == IDYES) return CmOk();
  }
  CloseWindow(IDCANCEL);
}

KVT_REGISTER_SCREEN(PVconfigmDlg);

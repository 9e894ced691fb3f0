// The module's exported entry points: load and unload, Initialize, the menu
// capabilities, and the screens the host opens.
#include "shell/windll.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "backoffice/login.h"
#include "platform/base/kvtbase.h"
#include "platform/base/textwidth.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "platform/win/hostwin.h"
#include "platform/win/profile.h"
#include "shell/capabilities.h"
#include "shell/dbutil.h"
#include "shell/globals.h"
#include "shell/hostreq.h"
#include "shell/imports.h"
#include "shell/posmisc.h"
#include "shell/screens.h"

HFONT CourierFont = nullptr;
HBITMAP hSCheck = nullptr, hSCheckG = nullptr, hRedX = nullptr, hBlueX = nullptr;

namespace {

int g_moduleAnchor;  // its address stands for this module's instance

std::string Text(const char* s) {
  return s ? s : "";
}

std::string Local(const char* file, const char* section, const char* key, const char* def) {
  char buf[KVT_SETTING_LEN];
  GetPrivateProfileString(section, key, def, buf, sizeof buf, file);
  return buf;
}

// The wrapped host window: screens are parented to it.
HWND Wrap(HWND hWnd) {
  return hWnd;
}

// MDI back-office screens: singleton test, frame, placement, caption.
struct MdiScreen {
  const char* className;
  std::string caption;
  const char* icon;
  bool reuse;
  bool restorePosition;
};

int OpenMdiScreen(HWND hWnd, const MdiScreen& s) {
  HWND parent = Wrap(hWnd);
  HWND client = KVTFindMDIClient(parent);
  if (s.reuse && KVTActivateMDIChild(client, s.className)) return 0;
  PVMDIDialog* screen = KVTNewMDIScreen(s.className, parent, s.caption);
  auto* frame = new PVmdiwinDlg(client, s.caption, screen);
  frame->SetFrameStyle({false, false, true});
  frame->SetClassName(s.className);
  if (!frame->Create()) {
    delete frame;
    return 0;
  }
  KVTRect r = frame->GetWindowRect();
  if (GetSystemMetrics(SM_CXSCREEN) < 801 && GetSystemMetrics(SM_CYSCREEN) < 601)
    frame->MoveWindow(0, 0, r.w, r.h);
  if (s.restorePosition) {
    int x = std::atoi(Local("kvtlocal.ini", "MENUSYSTEM", "DialogXPos", "-1").c_str());
    int y = std::atoi(Local("kvtlocal.ini", "MENUSYSTEM", "DialogYPos", "-1").c_str());
    r = frame->GetWindowRect();
    if (x > 0 && y > 0) frame->MoveWindow(x, y, r.w, r.h);
  }
  frame->SetCaption(s.caption);
  if (s.icon) frame->SetIcon(s.icon);
  frame->Show(SW_SHOW);
  frame->SetFocus();
  return 1;
}

// A modal screen by class name with its caption; returns its end code.
int RunDialog(HWND hWnd, const char* className, const std::string& caption) {
  std::unique_ptr<PVDialog> dialog(KVTNewDialog(className, Wrap(hWnd), caption));
  dialog->SetCaption(caption);
  return dialog->Execute();
}

// A tab window in an MDI frame of the host, holding `pages` (class, tab title).
Tbacktab* OpenTabWindow(HWND hWnd, const std::vector<std::pair<const char*, const char*>>& pages,
                        const std::string& caption, KVTFrameStyle style) {
  HWND parent = Wrap(hWnd);
  HWND client = KVTFindMDIClient(parent);
  auto* tabs = new Tbacktab(parent);
  for (const auto& [cls, title] : pages) tabs->AddTab(title, KVTNewPage(cls, parent, title));
  auto* frame = new PVmdiwinDlg(client, caption, tabs);
  frame->SetFrameStyle(style);
  if (!frame->Create()) {
    delete frame;
    return nullptr;
  }
  tabs->Show(SW_SHOW);
  frame->SetCaption(caption);
  int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  tabs->MoveWindow(0, 0, cx, cy);
  if (cx < 801 && cy < 601) {
    KVTRect r = frame->GetWindowRect();
    frame->MoveWindow(0, 0, r.w, r.h);
  }
  return tabs;
}

// Forwarding to another module of the suite, reporting what is missing.
template <typename Fn>
Fn ForwardTarget(HWND hWnd, const char* dll, const char* entry, const char* missingDll) {
  HMODULE m = KVTHostModuleRequest(Wrap(hWnd), dll);
  if (!m) {
    MessageBox(hWnd, missingDll, PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
    return nullptr;
  }
  Fn fn = GetProc<Fn>(m, entry);
  if (!fn) {
    std::string text = std::string("Unable to find function ") + entry + ".";
    MessageBox(hWnd, text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
  }
  return fn;
}

const char* const kMenuMissing =
    "KVTMS.DLL is not currently installed. Please install the DLL and retry.";

// A sibling module's screen, reached from the host's MDI client.
template <typename Fn>
Fn SiblingEntry(const char* dll, const char* entry) {
  HWND main = KVTReturnMDIWin();
  HWND from = main && main->mdiClient ? main->mdiClient : main;
  HMODULE m = KVTHostModuleRequest(from, dll);
  return m ? GetProc<Fn>(m, entry) : nullptr;
}

void CallSibling(HWND hWnd, const char* dll, const char* entry) {
  if (auto fn = SiblingEntry<void (*)(HWND)>(dll, entry)) fn(hWnd);
}

int ManagedForm(HWND hWnd, const char* assembly, const char* formType) {
  return KVTLoadManagedForm(Wrap(hWnd), assembly, formType);
}

int ManagedFormWithData(HWND hWnd, const char* szData) {
  return KVTLoadManagedFormWithData(Wrap(hWnd), "KVCTM.dll",
                                    "KVCTM.TransferPOS.TransferInterfaceForm", szData);
}

}  // namespace

void Signature(HWND hWnd, const char* szData) {
  KVTSignaturePad(Wrap(hWnd), szData);
}

namespace {

int TransferWithMainWindow(const char* direction, int (*open)(HWND, const char*)) {
  HWND main = KVTReturnMDIWin();
  char data[64];
  KVTsprintf(data, "%i,%s", static_cast<int>(reinterpret_cast<std::intptr_t>(main)), direction);
  return open(main, data);
}

}  // namespace

const char* KVTGetTransRef(int) {
  return KVTDatabaseKind();
}

// ---------------------------------------------------------------------------
// Load, unload, Initialize

int DllEntryPoint(HINSTANCE instance, unsigned long reason, void*) {
  if (reason == 0) {  // process detach
    WEP(0);
    return 1;
  }
  hInstance = instance;
  if (!CourierFont) CourierFont = KVTCreateFont("Courier", 10);
  hSCheck = LoadBitmap(hInstance, "SCHECK");
  hSCheckG = LoadBitmap(hInstance, "SCHECKG");
  hRedX = LoadBitmap(hInstance, "REDX");
  hBlueX = LoadBitmap(hInstance, "BLUEX");
  return 1;
}

int WEP(int) {
  CourierFont = nullptr;  // fonts of the runtime live to the end of the process
  return 1;
}

// The library's constructor and destructor play the loader's attach and detach.
__attribute__((constructor)) static void KVTModuleLoad() {
  DllEntryPoint(&g_moduleAnchor, 1, nullptr);
}
__attribute__((destructor)) static void KVTModuleUnload() {
  DllEntryPoint(&g_moduleAnchor, 0, nullptr);
}

int Initialize(HINSTANCE hAppInstance) {
  hApplication = hAppInstance;
  KVTSetDefaultSettings();
  GetStartInfo();
  // The screen definitions are part of this library; attaching them to the
  // forms runtime cannot fail, and the module works on the defaults.
  return 1;
}

int Terminate(HINSTANCE) {
  return 1;
}

int Setup(HINSTANCE) {
  HWND main = KVTReturnMDIWin();
  if (main)
    CreateMenuSystemOptions(main);
  else
    MessageBox(nullptr, "Pointer to Main Window not Setup", "Kovatel Software",
               MB_OK | MB_ICONEXCLAMATION);
  return 1;
}

// ---------------------------------------------------------------------------
// Capabilities and menu entries

const char* KVTWhatCanIDo(const char* szCategory) {
  static std::string setup, maintenance;
  static char requiredDlls[128];
  std::string category = Text(szCategory);
  KVTCapabilityContext c{CFG_BOSYSTEM, MACHINETYPE, CONNECTIONTYPE, KVTGetTransRef(1), false};
  if (category == "CATEGORIES") return "REPORTS";
  if (category == "RUNAFTERLOGIN") return "StartPOS";
  if (category == "REPORTS") return "";
  if (category == "REQUIREDDLLS") {
    KVTsprintf(requiredDlls, "%s", KVTRequiredDlls());
    return requiredDlls;
  }
  if (category == "SETUP") {
    c.badCreditCards = KVTFeatureOn("20090");
    setup = KVTSetupList(c);
    return setup.c_str();
  }
  if (category == "MAINTAINANCE") {
    maintenance = KVTMaintenanceList(c);
    return maintenance.c_str();
  }
  return nullptr;
}

void InsertMenuSystemOption(HWND hWnd, const char* szDLL, const char* szPCall, const char* szPName,
                            const char* szReport) {
  using Fn = void (*)(const char*, const char*, const char*, const char*);
  if (auto fn = ForwardTarget<Fn>(hWnd, "KVTMS.DLL", "InsertMenuOption", kMenuMissing))
    fn(szDLL, szPCall, szPName, szReport);
}

void RemoveMenuSystemOption(HWND hWnd, const char* szDLL, const char* szPCall,
                            const char* szPName) {
  using Fn = void (*)(const char*, const char*, const char*);
  if (auto fn = ForwardTarget<Fn>(hWnd, "KVTMS.DLL", "RemoveMenuOption", kMenuMissing))
    fn(szDLL, szPCall, szPName);
}

int CreateMenuSystemOptions(HWND hWnd) {
  static const char* const always[][3] = {
      {"KVTPOS.DLL", "POSLogin", "Point of Sale"},
      {"KVTPOS.DLL", "DoViewDailySales", "POS - View Daily Sales"},
      {"KVTPOS.DLL", "DoTransferSales", "POS - Export Sales"},
      {"KVTPOS.DLL", "DoTransferSalesImport", "POS - Import Sales"},
      {"KVTPOS.DLL", "CreatePeriodicOpts", "POS - Periodic Procedures"},
      {"KVTPOS.DLL", "PurgeSales", "POS - Purge Sales"},
      {"KVTPOS.DLL", "DoBadCheckSetup", "Enter/Edit Bad Checks"},
      {"KVTPOS.DLL", "DoPOSConfig", "POS - Configuration"},
      {"KVTPOS.DLL", "DoConfigureMachine", "POS - Configure this Computer"},
      {"KVSaleTransactionView.dll", "GetPOSView", "POS Transaction View"},
  };
  for (const auto& e : always) InsertMenuSystemOption(hWnd, e[0], e[1], e[2], "N");
  if (KVTFeatureOn("20090"))
    InsertMenuSystemOption(hWnd, "KVTPOS.DLL", "GetBadCC", "POS Bad Credit Cards", "N");
  if (std::strcmp(KVTGetTransRef(1), "MSSQL") == 0) {
    RemoveMenuSystemOption(hWnd, "KVTPOS.DLL", "DoExportData", "POS - Export Data");
    InsertMenuSystemOption(hWnd, "KVTPOS.DLL", "ShowExportDataForm", "POS - Export Data", "N");
  } else {
    InsertMenuSystemOption(hWnd, "KVTPOS.DLL", "DoExportData", "POS - Export Data", "N");
  }
  if (std::strcmp(CFG_BOSYSTEM, "1") == 0) {
    RemoveMenuSystemOption(hWnd, "KVTPOS.DLL", "DoImportData", "POS - Import Data");
    InsertMenuSystemOption(hWnd, "KVTPOS.DLL", "ShowImportDataForm", "POS - Import Data", "N");
  } else {
    InsertMenuSystemOption(hWnd, "KVTPOS.DLL", "DoImportData", "POS - Import Data", "N");
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Till and modal screens

int StartPOS(HWND hWnd) {
  if (POSTILL != 0) POSLogin(hWnd);
  return 0;
}

int POSLogin(HWND hWnd) {
  return RunDialog(hWnd, "PVloginDlg", "Point of Sale");
}

int DoPOSSales(HWND hWnd) {
  KVTOpenSaleWindow(Wrap(hWnd));
  return 0;
}

int DoPOSConfig(HWND hWnd) {
  Tbacktab* tabs = OpenTabWindow(hWnd,
                                 {{"PVconfig1Dlg", "&1-General Options"},
                                  {"PVconfig2Dlg", "&2-Entry Options"},
                                  {"PVconfig3Dlg", "&3-Payment Options"},
                                  {"PVconfig3aDlg", "&4-Add'l Payment Options"},
                                  {"PVconfig4Dlg", "&5-Printing Options"},
                                  {"PVconfig5Dlg", "&6-Transfer Options"}},
                                 "Configure Point Of Sale", {false, false, true});
  if (!tabs) return 0;
  PVmdiwinDlg* frame = tabs->Frame();
  int x = std::atoi(Local("kvtlocal.ini", "MENUSYSTEM", "DialogXPos", "-1").c_str());
  int y = std::atoi(Local("kvtlocal.ini", "MENUSYSTEM", "DialogYPos", "-1").c_str());
  KVTRect r = frame->GetWindowRect();
  if (x > 0 && y > 0) frame->MoveWindow(x, y, r.w, r.h);
  frame->Show(SW_SHOW);
  frame->SetFocus();
  return 0;
}

int DoConfigureMachine(HWND hWnd) {
  return RunDialog(hWnd, "PVconfigmDlg", "Configure this Computer");
}

int TransferSales(HWND hWnd) {
  return RunDialog(hWnd, "PVtransferDlg", "Point of Sale");
}

int DoCustomerInfo(HWND hWnd, const char* loadvalue) {
  std::unique_ptr<PVDialog> dialog(
      KVTNewDialog("PVcustinfDlg", Wrap(hWnd), "Customer Information"));
  dialog->SetCaption("Customer Information");
  if (loadvalue && *loadvalue)
    if (auto* keyed = dynamic_cast<KVTKeyedScreen*>(dialog.get()))
      keyed->KVTSetReference(loadvalue);
  return dialog->Execute();
}

// ---------------------------------------------------------------------------
// MDI back-office screens

int DoBadCheckSetup(HWND hWnd) {
  return OpenMdiScreen(hWnd, {"PVpos11Dlg", "Bad Checks Setup", "filecab", true, true});
}
int DoViewDailySales(HWND hWnd) {
  return OpenMdiScreen(hWnd, {"PVviewdsDlg", "View Daily Sales", "filecab", true, true});
}
int CreatePeriodicOpts(HWND hWnd) {
  return OpenMdiScreen(hWnd, {"PVperprocDlg", "Periodic Procedures", "menu", false, true});
}
int DoTransferSalesByDay(HWND hWnd) {
  return OpenMdiScreen(hWnd, {"PVtransferDlg", PROGRAM_NAME, nullptr, false, false});
}
int DoImportCustomers(HWND hWnd) {
  return OpenMdiScreen(hWnd, {"PVimpcustDlg", PROGRAM_NAME, nullptr, false, false});
}
int DoImportSales(HWND hWnd) {
  return OpenMdiScreen(hWnd, {"PVimpsalesDlg", PROGRAM_NAME, nullptr, false, false});
}
int DoExportData(HWND hWnd) {
  return OpenMdiScreen(hWnd, {"PVexpdataDlg", PROGRAM_NAME, nullptr, false, false});
}
int DoImportData(HWND hWnd) {
  return OpenMdiScreen(hWnd, {"PVimpdataDlg", PROGRAM_NAME, nullptr, false, false});
}

// ---------------------------------------------------------------------------
// Managed forms

int GetPOSView(HWND hWnd) {
  return ManagedForm(hWnd, "KVPointOfSale.dll", "KV.PointOfSale.KVSaleTransactionReportView");
}
int GetBadCC(HWND hWnd) {
  return ManagedForm(hWnd, "KVPointOfSale.dll", "KV.PointOfSale.POSBadCreditCards");
}
int PurgeSales(HWND hWnd) {
  return ManagedForm(hWnd, "KVPointOfSale.dll", "KV.PointOfSale.POS_Purge.POSPurge");
}
int ShowImportDataForm(HWND hWnd) {
  return ManagedForm(hWnd, "KVPointOfSale.dll", "KVPointOfSale.ImportDataForm");
}
int ShowExportDataForm(HWND hWnd) {
  return ManagedForm(hWnd, "KVPointOfSale.dll", "KVPointOfSale.Export.ExportDataForm");
}
int OpenDoTransferSales(HWND hWnd, const char* szData) {
  return ManagedFormWithData(hWnd, szData);
}
int OpenDoTransferSalesImport(HWND hWnd, const char* szData) {
  return ManagedFormWithData(hWnd, szData);
}
int DoTransferSales() {
  return TransferWithMainWindow("Export", OpenDoTransferSales);
}
int DoTransferSalesImport() {
  return TransferWithMainWindow("Import", OpenDoTransferSalesImport);
}

// ---------------------------------------------------------------------------
// One till's sales file

int DoKVTPOSImportSalesInformation(HWND hWnd, const char* szData) {
  std::vector<std::string> f;
  std::stringstream in(Text(szData));
  std::string field;
  while (std::getline(in, field, '|')) {
    std::vector<char> buf(field.begin(), field.end());
    buf.push_back('\0');
    f.emplace_back(TRIM(buf.data()));
  }
  f.resize(6);
  KVTImportOptions options{f[1], f[2], f[3], f[4], "", "", "", ""};
  bool reimport = !f[5].empty() && f[5][0] == 'Y';
  if (reimport) {
    auto r = kvt::sql::Run(
        "SELECT TRNST, TRNPB, TRNCST FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
        {kvt::sql::Text(options.store), kvt::sql::Text(options.tillRef)});
    if (r.found() == kvt::sql::Found::Failed) {
      KVTShowReadError(Wrap(hWnd), "The till's transfer settings (KVTCOM14)", r.error());
      return 2;
    }
    if (r.found() == kvt::sql::Found::Yes) {
      options.trnST = KVTCut(r.first()["TRNST"], 20);
      options.trnPB = KVTCut(r.first()["TRNPB"], 20);
      options.trnCST = KVTCut(r.first()["TRNCST"], 20);
    }
    if (!KVTAskReimportOptions(Wrap(hWnd), &options)) return 0;
  }
  std::string error;
  return bDoKVTPOSImportSalesInformation(Wrap(hWnd), f[0], options, reimport, &error) ? 1 : 2;
}

// ---------------------------------------------------------------------------
// Sibling modules' setup screens

void DoShiftsSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTCOM.DLL", "DoShiftsSetup");
}
void DoStoreSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTCOM.DLL", "DoStoreSetup");
}
void DoEmployeeSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTCOM.DLL", "DoEmployeeSetup");
}
void DoCategoriesSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTCOM.DLL", "DoCategoriesSetup");
}
void DoCreateCardCustomer(HWND hWnd) {
  CallSibling(hWnd, "KVTCOM.DLL", "CreateCardCustomer");
}
void ChangeCStoreCategory(HWND hWnd) {
  KVTCallCStoreSibling(hWnd, "ChangeCStoreCat");
}
void CopyCStoreCategory(HWND hWnd) {
  KVTCallCStoreSibling(hWnd, "CopyCStoreCat");
}
void DoTaxCodesSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTAR.DLL", "CreateTaxCodes");
}
void DoTaxAuthSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTAR.DLL", "CreateTaxAuth");
}
void DoBatchSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTAR.DLL", "DoCreateBatches");
}
void CreateCustomersInfo(HWND hWnd, const char* szCustomerRef) {
  if (auto fn = SiblingEntry<void (*)(HWND, const char*)>("KVTAR.DLL", "CreateCustomersInfo"))
    fn(hWnd, szCustomerRef);
}
void DoProductIDSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTCTM.DLL", "ProductSalesCatMENU");
}
void DoEditFieldlineCharges(HWND hWnd) {
  CallSibling(hWnd, "KVTCTM.DLL", "EditFieldlineChargesMENU");
}
void DoCreditCardSetup(HWND hWnd) {
  CallSibling(hWnd, "KVTFUEL.DLL", "DoCreditCard");
}

// The customer import screen.
#include "backoffice/impcust.h"

#include "backoffice/custimport.h"
#include "backoffice/kvtzipcall.h"
#include "backoffice/pbar.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/browse.h"
#include "platform/win/folders.h"
#include "platform/win/profile.h"
#include "shell/globals.h"
#include "shell/screens.h"

const KVTFormDecl& PVimpcustDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVimpcustDlg", "Import Customer Data", 64, 10);
    f.Label(IDC_TEXT, "This process will replace customer data in Kovatel from an outside source.",
            2, 1, 60);
    f.Edit(IDC_PATH, "Path : ", 2, 4, 44, KVT_BIND(PVimpcustData, PATH));
    f.Button(IDC_BROWSE, "&Browse", 52, 4);
    f.Button(IDOK, "&Ok", 18, 8);
    f.Button(IDCANCEL, "Cancel", 34, 8);
    return f;
  }();
  return form;
}

PVimpcustDlg::PVimpcustDlg(HWND parent) : PVMDIDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  OnCommand(IDC_BROWSE, [this] { Cmidc_browse(); });
}

void PVimpcustDlg::SetupWindow() {
  char path[sizeof Data.PATH];
  GetPrivateProfileString(PROGRAM_NAME, "ImpCustPath", "None", path, sizeof path, LOCAL_INI);
  SetFieldVar(IDC_PATH, path);
  KVTSetFieldFocus(IDC_PATH);
}

void PVimpcustDlg::Stop(const std::string& text, const char* caption, UINT icon) {
  MessageBox(text.c_str(), caption, MB_OK | icon);
  KVTSetFieldFocus(IDC_PATH);
}

void PVimpcustDlg::Cmidc_ok() {
  DoScrToApp();
  const std::string folder = KVTImportFolder(Data.PATH);
  if (folder.empty())
    return Stop("A valid filename is required to import.", "Kovatel Software", MB_ICONEXCLAMATION);
  SetFieldVar(IDC_PATH, folder.c_str());
  WritePrivateProfileString(PROGRAM_NAME, "ImpCustPath", folder.c_str(), LOCAL_INI);
  const std::string archive = folder + "POSFILES.ZIP";
  const std::string work = GetTempFolder() + "POSFILES/";
  std::string why;
  if (!CreateFolder(work, &why))
    return Stop("Error creating directory for processing compressed files:\n" + work + "\n" + why,
                "Kovatel Software", MB_ICONSTOP);
  KVTCustomerImport import(work);
  import.DropTable();
  if (!bUnzipFiles(Handle(), archive, "ICUST.*", work))
    return Stop("Errors occured unzipping customer data.", "Kovatel Software", MB_ICONSTOP);
  long count = 0;
  if (!import.Count(&count))
    return Stop("Errors occured reading customer data.\n\n" + import.error(), "Kovatel Software",
                MB_ICONSTOP);

  // One customer per step of the gauge; the work runs here, in one unit.
  auto* progress = new PVpbarDlg(Handle());
  bool shown = progress->Create();
  if (shown) {
    progress->SetTitle("Importing Customers:");
    progress->SetLimit(static_cast<int>(count > 0 ? count : 1));
    progress->EnableField(PVpbarDlg::IDC_PAUSE, false);
    progress->EnableField(IDCANCEL, false);
  } else {
    delete progress;
    progress = nullptr;
  }
  KVTWaitCursor busy;
  bool done = import.Replace(CurrentDate(), [progress](long) {
    if (progress) progress->DoAction();
  });
  if (progress) progress->CloseWindow(IDOK);
  if (!done) {
    std::string text = import.failedTable().empty()
                           ? "The customers were not imported: " + import.error()
                           : "Error occurred inserting " + import.failedTable() +
                                 " record.\nThis customer has not been saved!\n\nCustomer " +
                                 import.failedCustomer() + ": " + import.error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return Stop("No customer was imported; the customers are as they were.", "Import Customer",
                MB_ICONINFORMATION);
  }
  MessageBox("Import Complete!", "Import Customer", MB_OK | MB_ICONINFORMATION);
  CloseWindow(IDOK);
}

void PVimpcustDlg::Cmidc_browse() {
  DoScrToApp();
  char chosen[sizeof Data.PATH];
  BrowseDir(Handle(), KVTBrowseStart(Data.PATH).c_str(), "Browse Directory", chosen, sizeof chosen);
  std::string path = chosen[0] ? KVTImportFolder(chosen) : "";
  SetFieldVar(IDC_PATH, path.c_str());
  KVTSetFieldFocus(IDC_PATH);
}

KVT_REGISTER_SCREEN(PVimpcustDlg);

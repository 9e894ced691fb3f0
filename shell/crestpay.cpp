// Questions to the financing and card module.
#include "shell/crestpay.h"

#include <cstring>
#include <string>

#include "platform/forms/msgbox.h"
#include "platform/win/profile.h"
#include "shell/globals.h"
#include "shell/kvtintob.h"

namespace {

bool Accepts(HWND hWnd, const char* event, const char* szLocation, const char* szDepartment) {
  KVTModuleInterface module(hWnd, "Crestpay Farm Plan");
  module.AddModule("KVTJD.DLL");
  module.Reset();
  module.hWnd = hWnd;
  module.CallEvent("KVTInitializeEvent");
  if (module.Error()) {
    MessageBox(hWnd, "Error initializing Crestpay program module.", "Kovatel Software",
               MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  module.Reset();
  module.hWnd = hWnd;
  module.Param1 = std::string("01=") + (szLocation ? szLocation : "") +
                  "\t02=" + (szDepartment ? szDepartment : "") + "\t";
  module.CallEvent(event);
  if (module.Error()) {
    MessageBox(hWnd, module.GetErrorString().c_str(), "Kovatel Software",
               MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return module.iParam1 == 1;
}

}  // namespace

bool IsProgramInstalled(const char* szDll) {
  char date[KVT_SETTING_LEN];
  GetPrivateProfileString(szDll, "DllDate", "Not Found", date, sizeof date,
                          KVT_INI[0] ? KVT_INI : ".\\KVT32.ini");
  return std::strcmp(date, "Not Found") != 0;
}

bool bIsFarmPlanOfffered(HWND hWnd, const char* szLocation, const char* szDepartment) {
  return Accepts(hWnd, "DoCheckLocationAcceptsFarmPlan", szLocation, szDepartment);
}

bool bIsCrestpayCreditCardsOfffered(HWND hWnd, const char* szLocation, const char* szDepartment) {
  return Accepts(hWnd, "DoCheckLocationAcceptsBankCard", szLocation, szDepartment);
}

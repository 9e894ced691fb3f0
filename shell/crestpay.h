// What the till asks the financing and card module (KVTJD.DLL) before a
// sale: whether it is installed, and whether a location accepts Farm Plan
// financing or the module's bank cards. The tenders themselves go through
// the payment screen.
#pragma once

#include "platform/win/window.h"

// True when the suite settings file (KVT_INI, ".\KVT32.ini") has a "DllDate"
// in the section named after the module ("KVTJD.DLL"): the module is
// installed on this computer.
bool IsProgramInstalled(const char* szDll);

// Asks KVTJD.DLL through the module event interface (class "Crestpay Farm
// Plan", owner hWnd) whether `szLocation` and `szDepartment` accept Farm
// Plan, resp. bank cards. False when it does not, when the module is missing,
// and after an error (shown with caption "Kovatel Software").
bool bIsFarmPlanOfffered(HWND hWnd, const char* szLocation, const char* szDepartment);
bool bIsCrestpayCreditCardsOfffered(HWND hWnd, const char* szLocation, const char* szDepartment);

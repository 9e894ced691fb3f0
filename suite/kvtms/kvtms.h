// The menu system of the suite: modules register the functions they offer
// (module file, entry point, menu text, report flag) and the host builds its
// menus from the list, in registration order.
#pragma once

#include "platform/base/export.h"

KVT_EXTERN_C void InsertMenuOption(const char* szDLL, const char* szPCall, const char* szPName,
                                   const char* szReport);
KVT_EXTERN_C void RemoveMenuOption(const char* szDLL, const char* szPCall, const char* szPName);

// For the host: how many entries there are, and entry `index` (false when out
// of range). The texts stay valid until the next insert or remove.
KVT_EXTERN_C int MenuOptionCount();
KVT_EXTERN_C bool MenuOptionAt(int index, const char** szDLL, const char** szPCall,
                               const char** szPName, const char** szReport);
// Forgets every entry (a host that rebuilds its menus).
KVT_EXTERN_C void ClearMenuOptions();

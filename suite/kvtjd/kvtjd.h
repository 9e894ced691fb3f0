// The financing and card module of the suite (KVTJD.DLL) as far as the till
// asks it before a sale: which locations accept Farm Plan financing and its
// bank cards. The answers come from the settings file ".\KVTJD.ini":
//
//   [Farm Plan]
//   Locations=01,03        the inventory locations that accept it; * for all
//   [Bank Cards]
//   Locations=*
//
// Events: "KVTInitializeEvent" and "KVTDestroyEvent" succeed;
// "DoCheckLocationAcceptsFarmPlan" and "DoCheckLocationAcceptsBankCard" read
// the location from "01=" of Param1 and answer 1 (accepted) or 0 in
// iParam1. Any other event fails with a message naming it.
#pragma once

#include "platform/base/export.h"
#include "platform/win/moduleevent.h"

KVT_EXTERN_C int KVTInterface_HandleEvent(const char* event, int version, KVTEventObject* object);

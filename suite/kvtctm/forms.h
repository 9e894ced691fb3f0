// The transfer module's own forms, opened through the managed-window loader
// ("KVCTM.dll"):
//   "KVCTM.TransferPOS.Transfer" with "handle,store,till,shift,date,batch,flag"
//     (date MM/DD/YYYY, flag "F" for a first transfer): one till shift's
//     sales, their count and the till's targets; Transfer posts them as
//     "DoKVTPOSDirectTransfer" does.
//   "KVCTM.TransferPOS.TransferInterfaceForm" with "handle,Export" or
//     "handle,Import": the closed till shifts waiting for their transfer,
//     each sent by "DoKVTPOSDirectTransfer"; or the tills' sales files in
//     their exchange folders, each read by "DoKVTPOSAcquireSales".
#pragma once

#include "platform/base/export.h"
#include "platform/win/moduleevent.h"
#include "platform/win/window.h"

// Runs the form `formType` over `parent` with `data`; 1 when it is one of
// this module's forms (it has closed), 0 when it is not.
KVT_EXTERN_C int KVCTMShowForm(const char* formType, HWND parent, const char* data);

// The module's event entry (suite/kvtctm/kvtctm.cpp), which the forms use.
KVT_EXTERN_C int KVTInterface_HandleEvent(const char* event, int version, KVTEventObject* object);

// The managed-window loader of the suite. The managed forms (transaction
// view, bad credit cards, purge, data import and export) are not part of
// this system: each request answers with a plain message naming the form.
// The transfer forms ("KVCTM.dll") are the transfer module's
// ("KVTCTM.DLL", entry KVCTMShowForm). The signature pad ("KVSignaturePad.DLL") is a
// window of its own that takes the customer's mark and keeps it beside the
// sale.
#pragma once

#include "platform/base/export.h"
#include "platform/win/window.h"

KVT_EXTERN_C int LoadDotNetWindow(const char* assembly, const char* formType, HWND parent);
KVT_EXTERN_C int LoadDotNetWindowWithData(const char* assembly, const char* formType, HWND parent,
                                          const char* data);

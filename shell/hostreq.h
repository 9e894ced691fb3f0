// The host module request: other modules of the suite are reached through the
// host, which loads them by file name (window message 7000).
#pragma once

#include "platform/win/module.h"
#include "platform/win/window.h"

// Walks from `from` up the parent chain to the top window and asks it for the
// module `fileName` ("KVTCOM.DLL"). Returns the module handle, or null when
// there is no window or the host cannot load it.
HMODULE KVTHostModuleRequest(HWND from, const char* fileName);

// A managed form through the managed-window loader ("kvtDN.dll",
// "LoadDotNetWindow"); a missing loader or entry is said in a box. Returns 0.
int KVTLoadManagedForm(HWND hWnd, const char* assembly, const char* formType);
// A managed form with a data text, through the loader's
// "LoadDotNetWindowWithData"; a missing loader or entry is said in a box
// ("Could not find function LoadDotNetWindowWithData in KVTDN.DLL", caption
// "Error"). Returns 0.
int KVTLoadManagedFormWithData(HWND hWnd, const char* assembly, const char* formType,
                               const char* data);
// The signature pad ("KVSignaturePad.DLL", "KVSignaturePad.CaptureSignature")
// through the loader's "LoadDotNetWindowWithData" with `data`; a missing
// loader or entry is said in a box. What the module's Signature export does.
void KVTSignaturePad(HWND hWnd, const char* data);
// A convenience-store category screen of "KVTCOM.DLL" (entry "ChangeCStoreCat"
// or "CopyCStoreCat"), reached from the host's MDI client; a missing entry
// shows "Unknown function call.", a missing module nothing.
void KVTCallCStoreSibling(HWND hWnd, const char* entry);

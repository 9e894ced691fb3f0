// Small database helpers of the module, over connection 1.
#pragma once

#include <string>

#include "platform/win/window.h"

// Tells the user that `what` could not be read, with the database's message:
// "<what> could not be read:" and the message, caption "Error", stop icon.
void KVTShowReadError(HWND owner, const std::string& what, const std::string& error);

// A feature switch of KVTCOM20: a row present means on. A switch that cannot
// be read is shown to the user (KVTShowReadError) and reads as off.
bool KVTFeatureOn(const char* feature);

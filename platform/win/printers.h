// The printers installed on this computer: the CUPS destinations, by name.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"

// Empty when there is no print system or it does not answer.
KVT_EXPORT std::vector<std::string> KVTInstalledPrinters();

// Running the compression program (KVTZIP.EXE, beside the host program) and
// waiting for it: true when it reports the work done (a non-zero exit code).
// When it cannot be started, "bZipFiles() failed: %ld" and the system's
// reason are shown.
#pragma once

#include <string>

#include "platform/win/window.h"

// The command lines: program " D " archive " " mask " " destination, and
// program " C " archive " " source " " "SPAN" or "NOSPAN".
std::string KVTUnzipCommand(const std::string& program, const std::string& archive,
                            const std::string& mask, const std::string& destination);
std::string KVTZipCommand(const std::string& program, const std::string& archive,
                          const std::string& source, bool span);

bool bUnzipFiles(HWND owner, const std::string& archive, const std::string& mask,
                 const std::string& destination);
bool bZipFiles(HWND owner, const std::string& archive, const std::string& source, bool span);

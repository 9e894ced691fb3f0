// Starting another program and waiting for its end, the way the compression
// program is run: the caller builds one Windows-style command line, the
// program runs with the till's environment and open files, and its exit code
// decides what happened.
//
// Safe to call from any thread; the call blocks until the program has exited.
// Nothing throws: when the program cannot be started, or ends without an exit
// code (killed by a signal), the result is -1 and *error says why.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"

// Splits a command line as Windows programs split theirs:
// - arguments are separated by blanks and tabs;
// - the program name (the first) runs to the next blank outside quotes; its
//   quotes are dropped and a backslash in it is just a character;
// - in the other arguments a quoted part may hold blanks (the quotes are
//   dropped); 2n backslashes before a quote give n backslashes and the quote
//   opens or closes, 2n+1 give n backslashes and a quote character;
//   backslashes not followed by a quote stay as they are; two quotes inside a
//   quoted part give one quote character.
KVT_EXPORT std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The executable file a program name stands for, or "" when there is none.
// Backslashes become slashes. A name with a folder is looked for in that
// folder, a bare name along PATH. The name is tried as given, then without
// regard to case and without an ".EXE" extension: "KVTZIP.EXE" finds kvtzip.
KVT_EXPORT std::string FindProgramFile(const std::string& name);

// Runs argv[0] (found by FindProgramFile) with the arguments and waits until
// it has exited. `workingFolder` is where it runs ("" keeps ours). Returns the
// exit code (0 to 255), or -1 with *error set.
KVT_EXPORT int RunProcessAndWait(const std::vector<std::string>& argv,
                                 const std::string& workingFolder = "",
                                 std::string* error = nullptr);
// The same for a whole command line, split by SplitCommandLine.
KVT_EXPORT int RunCommandLineAndWait(const std::string& commandLine,
                                     const std::string& workingFolder = "",
                                     std::string* error = nullptr);

// The database a till script runs against, named on the command line.
#pragma once

#include <string>

// Connects to the database `spec` names and installs it as the forms
// runtime's query function. False with the reason in `error`.
bool ConnectScriptDatabase(const std::string& spec, std::string* error);

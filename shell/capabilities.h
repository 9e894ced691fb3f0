// The capability lists the module reports to the host's menu builder:
// comma-separated pairs of menu text and export name, texts exactly as the
// host expects them (blanks after some commas included).
#pragma once

#include <string>

struct KVTCapabilityContext {
  std::string boSystem;         // CFG_BOSYSTEM
  std::string machineType;      // MACHINETYPE
  std::string connectionType;   // CONNECTIONTYPE
  std::string databaseKind;     // "MSSQL" selects the managed export form
  bool badCreditCards = false;  // feature "20090"
};

// "SETUP": the setup screens, rebuilt from scratch on every call.
std::string KVTSetupList(const KVTCapabilityContext& c);
// "MAINTAINANCE": the first rule that matches the machine and back office.
std::string KVTMaintenanceList(const KVTCapabilityContext& c);
// "REQUIREDDLLS".
const char* KVTRequiredDlls();

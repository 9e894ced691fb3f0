// What is particular to one computer, without screens: its machine type,
// default store and till, pole display, receipt printer and cash drawer, and
// its printers, as the settings file LOCAL_INI keeps them (section
// PROGRAM_NAME), with the defaults used when a key is missing; the drawer
// codes each receipt printer type fixes; and the next sale number of the
// shared configuration record.
#pragma once

#include <string>
#include <vector>

#include "platform/sql/query.h"

struct KVTMachineSettings {
  std::string machineType;  // "TILL", "BACKOFFICE", "BOTH" or empty
  std::string defaultStore, defaultTill;
  std::string poleDisplay = "None";
  std::string receiptPrinterType = "None";
  std::string drawerCodes;
  std::string drawerPort = "Printer";
  std::string receiptPrinter = "None";
  std::string invoicePrinter = "None";
  std::string recToInvPtr = "F";
  std::string payToInvPtr = "F";

  // Every key from `file` (the printer names up to 100 characters, the
  // others 50), the default for each one missing.
  static KVTMachineSettings Read(const char* file, const char* section);
  // Writes the keys in a fixed order, each even after another failed; the
  // message of each write that failed, in that order, goes to *failures.
  void Write(const char* file, const char* section, std::vector<std::string>* failures) const;
};

// The choices of the lists, in their order.
const std::vector<std::string>& KVTPoleDisplays();
const std::vector<std::string>& KVTReceiptPrinterTypes();
const std::vector<std::string>& KVTDrawerPorts();

// The codes that open the drawer through a receipt printer of `type`
// ("STAR", "STAR THERMAL": "7"; "EPSON": "22 112 00 50 250"; "None" and
// "OTHER": none). True when the operator types them ("OTHER").
bool KVTDrawerCodesFor(const std::string& type, std::string* codes);

// The next sale number of the configuration record and whether sale
// numbers are kept per store instead (USESTNSNUM "T").
struct KVTSaleNumber {
  std::string next;
  bool perStore = false;
  // Found::No when there is no configuration record.
  static kvt::sql::Found Read(KVTSaleNumber* number, std::string* error);
  static bool Store(const std::string& next, std::string* error);
};

// The computer's own settings.
#include "setup/machine.h"

#include "platform/win/profile.h"

namespace sql = kvt::sql;

namespace {

struct Key {
  const char* name;
  std::string KVTMachineSettings::*value;
  int size;
  const char* failure;
};

// In the order they are written.
const Key kKeys[] = {
    {"MachineType", &KVTMachineSettings::machineType, 50,
     "Error writing Machine Type to KVTLOCAL.INI."},
    {"DefaultStore", &KVTMachineSettings::defaultStore, 50,
     "Error writing Default Store to KVTLOCAL.INI."},
    {"DefaultTill", &KVTMachineSettings::defaultTill, 50,
     "Error writing Default Till to KVTLOCAL.INI."},
    {"PoleDisplay", &KVTMachineSettings::poleDisplay, 50,
     "Error writing Pole Display to KVTLOCAL.INI."},
    {"ReceiptPrinterType", &KVTMachineSettings::receiptPrinterType, 50,
     "Error writing Receipt Printer Type to KVTLOCAL.INI."},
    {"CodesToOpenTillDrawer", &KVTMachineSettings::drawerCodes, 50,
     "Error writing ASCII codes to open till drawer to KVTLOCAL.INI."},
    {"TillDrawerPort", &KVTMachineSettings::drawerPort, 50,
     "Error writing Till Drawer Port to KVTLOCAL.INI."},
    {"ReceiptPrinter", &KVTMachineSettings::receiptPrinter, 100,
     "Error writing Receipt Printer to KVTLOCAL.INI."},
    {"InvoicePrinter", &KVTMachineSettings::invoicePrinter, 100,
     "Error writing Invoice Printer to KVTLOCAL.INI."},
    {"RecToInvPtr", &KVTMachineSettings::recToInvPtr, 50,
     "Error writing Print all Receipts to Invoice Printer to KVTLOCAL.INI."},
    {"PayToInvPtr", &KVTMachineSettings::payToInvPtr, 50,
     "Error writing Print all Payments on Account to Invoice Printer to KVTLOCAL.INI."},
};

}  // namespace

KVTMachineSettings KVTMachineSettings::Read(const char* file, const char* section) {
  KVTMachineSettings s;
  for (const Key& k : kKeys) {
    char buf[101];
    std::string def = s.*k.value;
    GetPrivateProfileString(section, k.name, def.c_str(), buf, k.size, file);
    s.*k.value = buf;
  }
  return s;
}

void KVTMachineSettings::Write(const char* file, const char* section,
                               std::vector<std::string>* failures) const {
  for (const Key& k : kKeys)
    if (!WritePrivateProfileString(section, k.name, (this->*k.value).c_str(), file))
      failures->push_back(k.failure);
}

const std::vector<std::string>& KVTPoleDisplays() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> l{"None"};
    for (int port = 1; port <= 4; ++port)
      for (int stop = 1; stop <= 2; ++stop)
        l.push_back("COM" + std::to_string(port) + ",9600,8,N," + std::to_string(stop));
    return l;
  }();
  return list;
}

const std::vector<std::string>& KVTReceiptPrinterTypes() {
  static const std::vector<std::string> list{"None", "STAR", "STAR THERMAL", "EPSON", "OTHER"};
  return list;
}

const std::vector<std::string>& KVTDrawerPorts() {
  static const std::vector<std::string> list{"Printer", "COM1", "COM2", "COM3", "COM4"};
  return list;
}

bool KVTDrawerCodesFor(const std::string& type, std::string* codes) {
  if (type == "STAR" || type == "STAR THERMAL")
    *codes = "7";
  else if (type == "EPSON")
    *codes = "22 112 00 50 250";
  else
    codes->clear();
  return type == "OTHER";
}

sql::Found KVTSaleNumber::Read(KVTSaleNumber* number, std::string* error) {
  sql::Result r = sql::Run(
      "SELECT NEXTSLNUM,USESTNSNUM FROM KVTPOS10 WHERE STORE = ? AND TILLREF = ? AND SLSMAN = ?",
      {sql::Text(""), sql::Text(""), sql::Text("")});
  if (!r.ok()) *error = r.error();
  if (r.found() == sql::Found::Yes) {
    number->next = r.first()["NEXTSLNUM"].substr(0, 6);
    number->perStore = r.first()["USESTNSNUM"] == "T";
  }
  return r.found();
}

bool KVTSaleNumber::Store(const std::string& next, std::string* error) {
  sql::Result r =
      sql::Run("UPDATE KVTPOS10 SET NEXTSLNUM=? WHERE STORE = ? AND TILLREF = ? AND SLSMAN = ?",
               {sql::Text(next), sql::Text(""), sql::Text(""), sql::Text("")});
  if (!r.ok()) return *error = r.error(), false;
  return true;
}

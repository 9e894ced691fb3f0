// Which screens each kind of computer gets in the host's menus (that every
// export named exists is checked on the loaded module, in exports_test).
#include "shell/capabilities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// The exports of a list of "text,export" pairs, blank-separated; the list
// itself when it is not made of pairs with a text each.
std::string Exports(const std::string& list) {
  std::string out, part;
  int n = 0;
  for (std::size_t at = 0, comma; at <= list.size(); at = comma + 1, ++n) {
    comma = std::min(list.find(',', at), list.size());
    part = list.substr(at, comma - at);
    part.erase(0, part.find_first_not_of(' '));
    if (part.empty()) return "bad pair in: " + list;
    if (n % 2) out += (out.empty() ? "" : " ") + part;
  }
  return n % 2 ? "odd list: " + list : out;
}

TEST(Capabilities, MaintenanceMenuByBackOfficeMachineAndConnection) {
  // clang-format off
  struct Case { const char* bo; const char* machine; const char* conn; const char* kind; const char* exports; } cases[] = {
      {"2", "TILL",       "F", "PGSQL", "POSLogin DoViewDailySales DoTransferSales DoTransferSalesImport DoExportData DoImportData CreatePeriodicOpts GetPOSView"},
      {"4", "BACKOFFICE", "D", "PGSQL", "POSLogin DoViewDailySales DoTransferSales DoTransferSalesImport DoImportCustomers DoExportData DoImportData CreatePeriodicOpts"},
      {"3", "TILL",       "F", "PGSQL", "POSLogin DoViewDailySales DoTransferSales DoExportData DoImportData CreatePeriodicOpts DoEditFieldlineCharges"},
      {"1", "TILL",       "F", "PGSQL", "POSLogin DoViewDailySales DoTransferSales DoExportData ShowImportDataForm CreatePeriodicOpts"},
      {"",  "TILL",       "F", "PGSQL", "POSLogin DoViewDailySales DoTransferSales DoExportData DoImportData CreatePeriodicOpts"},
      {"3", "TILL",       "D", "PGSQL", "POSLogin DoViewDailySales DoTransferSalesImport CreatePeriodicOpts DoEditFieldlineCharges"},
      {"1", "",           "D", "PGSQL", "POSLogin DoViewDailySales DoTransferSalesImport CreatePeriodicOpts"},
      {"3", "BACKOFFICE", "",  "PGSQL", "POSLogin DoViewDailySales DoTransferSalesImport DoExportData DoImportData CreatePeriodicOpts DoEditFieldlineCharges"},
      {"1", "BACKOFFICE", "F", "PGSQL", "POSLogin DoViewDailySales DoTransferSalesImport DoExportData ShowImportDataForm CreatePeriodicOpts"},
      {"5", "BACKOFFICE", "",  "PGSQL", "POSLogin DoViewDailySales DoTransferSalesImport DoExportData DoImportData CreatePeriodicOpts"},
      // A till without its connection type falls through to the general rules.
      {"3", "TILL",       "",  "PGSQL", "POSLogin DoViewDailySales DoTransferSales DoTransferSalesImport DoExportData DoImportData CreatePeriodicOpts DoEditFieldlineCharges"},
      {"1", "",           "",  "PGSQL", "POSLogin DoViewDailySales DoTransferSales DoTransferSalesImport DoExportData ShowImportDataForm CreatePeriodicOpts GetPOSView"},
      {"",  "",           "",  "PGSQL", "POSLogin DoViewDailySales DoTransferSales DoTransferSalesImport DoExportData DoImportData CreatePeriodicOpts GetPOSView"},
      // On SQL Server the export of data is the managed form.
      {"",  "",           "",  "MSSQL", "POSLogin DoViewDailySales DoTransferSales DoTransferSalesImport ShowExportDataForm DoImportData CreatePeriodicOpts GetPOSView"},
      {"1", "TILL",       "F", "MSSQL", "POSLogin DoViewDailySales DoTransferSales ShowExportDataForm ShowImportDataForm CreatePeriodicOpts"},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(Exports(KVTMaintenanceList({c.bo, c.machine, c.conn, c.kind, false})), c.exports)
        << "bo=" << c.bo << " machine=" << c.machine << " conn=" << c.conn << " " << c.kind;
}

TEST(Capabilities, SetupMenuByBackOfficeAndBadCardFeature) {
  const std::string head =
      "DoShiftsSetup DoStoreSetup DoEmployeeSetup DoCreditCardSetup DoBadCheckSetup ";
  const std::string mid = "DoCategoriesSetup DoTaxCodesSetup DoTaxAuthSetup DoBatchSetup ";
  const std::string tail = "DoPOSConfig DoConfigureMachine CreatePOSTillIcon";
  // clang-format off
  struct Case { const char* bo; bool badCards; std::string exports; } cases[] = {
      {"1", false, head + mid + tail},
      {"1", true,  head + "GetBadCC " + mid + tail},
      {"2", false, head + mid + "DoProductIDSetup DoCreateCardCustomer " + tail},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(Exports(KVTSetupList({c.bo, "", "", "PGSQL", c.badCards})), c.exports) << c.bo;
}

}  // namespace

#include "shell/capabilities.h"

#include <gtest/gtest.h>

namespace {

const std::string S = "POS Sales, POSLogin";
const std::string V = "View Daily Sales,DoViewDailySales";
const std::string ES = "Export Sales, DoTransferSales";
const std::string IS = "Import Sales, DoTransferSalesImport";
const std::string TS = "Transfer Sales, DoTransferSalesImport";
const std::string IC = "Import Customers, DoImportCustomers";
const std::string P = "Periodic Procedures,CreatePeriodicOpts";
const std::string C = "Edit Charges,DoEditFieldlineCharges";
const std::string PV = "POS Transaction View,GetPOSView";
const std::string ID = "Import Data, DoImportData";
const std::string ISH = "Import Data, ShowImportDataForm";
const std::string EDM = "Export Data, ShowExportDataForm";  // managed form on MSSQL
const std::string EDO = "Export Data, DoExportData";

TEST(Capabilities, FirstMaintenanceRuleReadsExactly) {
  KVTCapabilityContext c{"2", "", "", "MSSQL", false};
  EXPECT_EQ(KVTMaintenanceList(c),
            "POS Sales, POSLogin,View Daily Sales,DoViewDailySales,Export Sales, "
            "DoTransferSales,Import Sales, DoTransferSalesImport,Export Data, "
            "ShowExportDataForm,Import Data, DoImportData,Periodic Procedures,"
            "CreatePeriodicOpts,POS Transaction View,GetPOSView");
}

TEST(Capabilities, MaintenanceRulesInBothDatabaseForms) {
  struct Case {
    const char* bo;
    const char* machine;
    const char* conn;
    std::vector<std::string> pairs;  // "ED" marks the export-data pair
  } cases[] = {
      {"2", "TILL", "F", {S, V, ES, IS, "ED", ID, P, PV}},
      {"4", "BACKOFFICE", "D", {S, V, ES, IS, IC, "ED", ID, P}},
      {"3", "TILL", "F", {S, V, ES, "ED", ID, P, C}},
      {"1", "TILL", "F", {S, V, ES, "ED", ISH, P}},
      {"", "TILL", "F", {S, V, ES, "ED", ID, P}},
      {"3", "TILL", "D", {S, V, TS, P, C}},
      {"1", "", "D", {S, V, TS, P}},
      {"3", "BACKOFFICE", "", {S, V, IS, "ED", ID, P, C}},
      {"1", "BACKOFFICE", "F", {S, V, IS, "ED", ISH, P}},
      {"5", "BACKOFFICE", "", {S, V, IS, "ED", ID, P}},
      // A till without its connection type falls through to the general rules.
      {"3", "TILL", "", {S, V, ES, IS, "ED", ID, P, C}},
      {"1", "", "", {S, V, ES, IS, "ED", ISH, P, PV}},
      {"", "", "", {S, V, ES, IS, "ED", ID, P, PV}},
  };
  for (const auto& k : cases) {
    for (const std::string kind : {"MSSQL", "PGSQL"}) {
      std::string want;
      for (const auto& p : k.pairs) {
        if (!want.empty()) want += ",";
        want += p == "ED" ? (kind == "MSSQL" ? EDM : EDO) : p;
      }
      KVTCapabilityContext c{k.bo, k.machine, k.conn, kind, false};
      EXPECT_EQ(KVTMaintenanceList(c), want)
          << "bo=" << k.bo << " machine=" << k.machine << " conn=" << k.conn << " " << kind;
    }
  }
}

TEST(Capabilities, SetupListFollowsFeatureAndBackOffice) {
  const std::string head =
      "Shifts,DoShiftsSetup,Stores,DoStoreSetup,Employees,DoEmployeeSetup,Credit "
      "Cards,DoCreditCardSetup,Bad Checks,DoBadCheckSetup,";
  const std::string mid =
      "Sales Categories,DoCategoriesSetup,Tax Codes,DoTaxCodesSetup,Tax "
      "Authorities,DoTaxAuthSetup,Batches,DoBatchSetup,";
  const std::string tail =
      "Configure,DoPOSConfig,Configure this Computer,DoConfigureMachine,Create .Ini Files for "
      "Tills, CreatePOSTillIcon";
  const std::string ctm =
      "Product / A/R Sales Category Setup,DoProductIDSetup,Card Number / Customer "
      "Setup,DoCreateCardCustomer,";
  EXPECT_EQ(KVTSetupList({"1", "", "", "PGSQL", false}), head + mid + tail);
  EXPECT_EQ(KVTSetupList({"1", "", "", "PGSQL", true}),
            head + "Bad Credit Cards, GetBadCC," + mid + tail);
  EXPECT_EQ(KVTSetupList({"2", "", "", "PGSQL", false}), head + mid + ctm + tail);
}

TEST(Capabilities, RequiredDllsInOrderWithoutBlanks) {
  EXPECT_STREQ(KVTRequiredDlls(),
               "KVT016.DLL,KVTMS.DLL,KVTCOM.DLL,KVTCTM.DLL,KVTFUEL.DLL,KVTAR.DLL");
}

}  // namespace

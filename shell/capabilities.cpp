// Capability lists for the host's menu builder.
#include "shell/capabilities.h"

#include <initializer_list>

namespace {

const char* const S = "POS Sales, POSLogin";
const char* const V = "View Daily Sales,DoViewDailySales";
const char* const ES = "Export Sales, DoTransferSales";
const char* const IS = "Import Sales, DoTransferSalesImport";
const char* const TS = "Transfer Sales, DoTransferSalesImport";
const char* const IC = "Import Customers, DoImportCustomers";
const char* const P = "Periodic Procedures,CreatePeriodicOpts";
const char* const C = "Edit Charges,DoEditFieldlineCharges";
const char* const PV = "POS Transaction View,GetPOSView";
const char* const IMPORT_DO = "Import Data, DoImportData";
const char* const IMPORT_SHOW = "Import Data, ShowImportDataForm";

std::string Join(std::initializer_list<const char*> pairs) {
  std::string out;
  for (const char* p : pairs) {
    if (!out.empty()) out += ',';
    out += p;
  }
  return out;
}

}  // namespace

std::string KVTSetupList(const KVTCapabilityContext& c) {
  std::string s =
      "Shifts,DoShiftsSetup,Stores,DoStoreSetup,Employees,DoEmployeeSetup,Credit "
      "Cards,DoCreditCardSetup,Bad Checks,DoBadCheckSetup,";
  if (c.badCreditCards) s += "Bad Credit Cards, GetBadCC,";
  s += "Sales Categories,DoCategoriesSetup,Tax Codes,DoTaxCodesSetup,Tax "
       "Authorities,DoTaxAuthSetup,Batches,DoBatchSetup,";
  if (c.boSystem == "2")
    s += "Product / A/R Sales Category Setup,DoProductIDSetup,Card Number / Customer "
         "Setup,DoCreateCardCustomer,";
  s += "Configure,DoPOSConfig,Configure this Computer,DoConfigureMachine,Create .Ini Files for "
       "Tills, CreatePOSTillIcon";
  return s;
}

std::string KVTMaintenanceList(const KVTCapabilityContext& c) {
  const char* ED =
      c.databaseKind == "MSSQL" ? "Export Data, ShowExportDataForm" : "Export Data, DoExportData";
  const std::string& bo = c.boSystem;
  if (bo == "2") return Join({S, V, ES, IS, ED, IMPORT_DO, P, PV});
  if (bo == "4") return Join({S, V, ES, IS, IC, ED, IMPORT_DO, P});
  if (c.machineType == "TILL" && c.connectionType == "F") {
    if (bo == "3") return Join({S, V, ES, ED, IMPORT_DO, P, C});
    if (bo == "1") return Join({S, V, ES, ED, IMPORT_SHOW, P});
    return Join({S, V, ES, ED, IMPORT_DO, P});
  }
  if (c.connectionType == "D") {
    if (bo == "3") return Join({S, V, TS, P, C});
    return Join({S, V, TS, P});
  }
  if (c.machineType == "BACKOFFICE") {
    if (bo == "3") return Join({S, V, IS, ED, IMPORT_DO, P, C});
    if (bo == "1") return Join({S, V, IS, ED, IMPORT_SHOW, P});
    return Join({S, V, IS, ED, IMPORT_DO, P});
  }
  if (bo == "3") return Join({S, V, ES, IS, ED, IMPORT_DO, P, C});
  if (bo == "1") return Join({S, V, ES, IS, ED, IMPORT_SHOW, P, PV});
  return Join({S, V, ES, IS, ED, IMPORT_DO, P, PV});
}

const char* KVTRequiredDlls() {
  return "KVT016.DLL,KVTMS.DLL,KVTCOM.DLL,KVTCTM.DLL,KVTFUEL.DLL,KVTAR.DLL";
}

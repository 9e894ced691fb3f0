// The accounts receivable module's setup: tax codes, tax authorities, sales
// ticket batches and customers, each in the table-maintenance screen.
#include "suite/setup/tablemaint.h"

KVT_EXTERN_C void CreateTaxCodes(HWND hWnd) {
  KVTOpenTableMaintenance(hWnd, {"KVTAR19",
                                 "KVTTaxCodes",
                                 "Tax Codes Setup",
                                 {{"TAXCODE", "Tax Code", 6, true, true},
                                  {"DESCRIPT", "Description", 30, false, false},
                                  {"TAXRATE", "Rate (%)", 8, false, true},
                                  {"AMOUNT", "Max Tax Amount", 10, false, false}}});
}

KVT_EXTERN_C void CreateTaxAuth(HWND hWnd) {
  KVTOpenTableMaintenance(hWnd, {"KVTAR16A",
                                 "KVTTaxAuth",
                                 "Tax Authorities Setup",
                                 {{"TAXAUTH", "Tax Authority", 6, true, true},
                                  {"TAXCODE", "Tax Code", 6, true, true}}});
}

KVT_EXTERN_C void DoCreateBatches(HWND hWnd) {
  KVTOpenTableMaintenance(hWnd, {"KVTFL23",
                                 "KVTBatches",
                                 "Batches Setup",
                                 {{"REFERENCE", "Batch", 10, true, true},
                                  {"DESCRIPT", "Description", 30, false, false}}});
}

KVT_EXTERN_C void CreateCustomersInfo(HWND hWnd, const char* szCustomerRef) {
  KVTOpenTableMaintenance(hWnd,
                          {"KVTAR50",
                           "KVTCustomers",
                           "Customers",
                           {{"REFERENCE", "Customer", 10, true, true},
                            {"NAME", "Name", 30, false, true},
                            {"ADDRESS1", "Address", 30, false, false},
                            {"CITY", "City", 20, false, false},
                            {"STATE", "State", 2, false, false},
                            {"ZIPCODE", "Zip Code", 10, false, false},
                            {"TAXEXEMPT", "Tax Exempt (T/F)", 1, false, false},
                            {"PURCODES", "Pricing Type", 4, false, false}}},
                          szCustomerRef ? szCustomerRef : "");
}

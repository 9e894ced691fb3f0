// The common setup module of the suite: shifts, stores, tills, employees and
// sales categories, each in the table-maintenance screen.
#include "platform/forms/msgbox.h"
#include "suite/setup/tablemaint.h"

KVT_EXTERN_C void DoShiftsSetup(HWND hWnd) {
  KVTOpenTableMaintenance(
      hWnd, {"KVTCOM10",
             "KVTShiftsSetup",
             "Shifts Setup",
             {{"SHIFT", "Shift", 6, true, true}, {"DESCRIPT", "Description", 30, false, false}}});
}

KVT_EXTERN_C void DoStoreSetup(HWND hWnd) {
  KVTOpenTableMaintenance(hWnd, {"KVTCOM13",
                                 "KVTStoreSetup",
                                 "Stores Setup",
                                 {{"REFERENCE", "Store", 6, true, true},
                                  {"NAME", "Name", 30, false, true},
                                  {"ADDRESS1", "Address", 30, false, false},
                                  {"CITY", "City", 20, false, false},
                                  {"STATE", "State", 2, false, false},
                                  {"ZIPCODE", "Zip Code", 10, false, false},
                                  {"PHONE", "Phone", 14, false, false},
                                  {"LOCATION", "Inventory Location", 6, false, true}}});
}

KVT_EXTERN_C void DoTillSetup(HWND hWnd) {
  KVTOpenTableMaintenance(hWnd, {"KVTCOM14",
                                 "KVTTillSetup",
                                 "Tills Setup",
                                 {{"STOREREF", "Store", 6, true, true},
                                  {"TILLNUM", "Till", 6, true, true},
                                  {"DESCRIPT", "Description", 30, false, false},
                                  {"CONTYPE", "Connection (F/D)", 1, false, false}}});
}

KVT_EXTERN_C void DoEmployeeSetup(HWND hWnd) {
  KVTOpenTableMaintenance(
      hWnd, {"KVTCOM11",
             "KVTEmployeeSetup",
             "Employees Setup",
             {{"EMPCODE", "Employee", 6, true, true}, {"NAME", "Name", 30, false, true}}});
}

KVT_EXTERN_C void DoCategoriesSetup(HWND hWnd) {
  KVTOpenTableMaintenance(hWnd, {"KVTCOM12",
                                 "KVTCategoriesSetup",
                                 "Sales Categories Setup",
                                 {{"REFERENCE", "Category", 10, true, true},
                                  {"LOCATION", "Location", 6, true, true},
                                  {"TILLCODE", "Till Code", 8, false, false},
                                  {"DESCRIPT", "Description", 30, false, true},
                                  {"TAXABLE", "Taxable (T/F)", 1, false, false},
                                  {"FOODSTAMPS", "Food Stamps (T/F)", 1, false, false},
                                  {"TAXAUTH", "Tax Authority", 6, false, false},
                                  {"RETUNIT", "Price", 10, false, false},
                                  {"COSTUNIT", "Cost", 10, false, false}}});
}

KVT_EXTERN_C void CreateCardCustomer(HWND hWnd) {
  MessageBox(hWnd, "Card number customers are not set up on this system.", "Kovatel Software",
             MB_OK | MB_ICONINFORMATION);
}

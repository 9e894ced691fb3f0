// The fuel module's setup the till uses: credit card types by location.
#include "suite/setup/tablemaint.h"

KVT_EXTERN_C void DoCreditCard(HWND hWnd) {
  KVTOpenTableMaintenance(hWnd, {"KVTFL25",
                                 "KVTCreditCards",
                                 "Credit Cards Setup",
                                 {{"CODE", "Card Type", 6, true, true},
                                  {"LOCATION", "Location", 6, true, false},
                                  {"DESCRIPT", "Description", 30, false, true},
                                  {"CARDTYPE", "Kind", 4, false, false}}});
}

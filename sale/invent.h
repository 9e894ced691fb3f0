// Stock and sales-category history of a saved sale. The suite's inventory
// module is reached through a wrapper that loads "KVTINV.DLL" through the
// host and sends it text requests (lock an item at a location, move its
// stock, record its last sale date, unlock it), each carrying connection 1
// so the changes commit or roll back with the sale.
//
// The wrapper's results follow the module: 1 (or more) is success, 0
// failure. After a failure `error` is 1 and the error buffer (when one was
// given) holds the reason, cut to its size.
#pragma once

#include <string>
#include <vector>

#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "platform/win/module.h"
#include "platform/win/window.h"

// The inventory module's request entry point. `reply` and `replyLen` are
// not used by the requests of the till (passed as 0); the module may write
// the reason of a failure into `errorBuf`. Returns 1 or more on success.
using KVTSendDLLMessageB = int (*)(HWND parent, KVTConnection* conn, const char* command,
                                   const char* request, char* reply, unsigned replyLen,
                                   char* errorBuf, unsigned errorLen);

class KVTInventoryModule {
 public:
  // Clears every member and keeps the parent (passed on every request).
  explicit KVTInventoryModule(HWND parent);

  // The caller's buffer for error texts (may be null: no text kept).
  void SetErrorBuffer(char* buffer, unsigned size);
  // Asks the host for "KVTINV.DLL".
  int LoadModule();
  // Looks up SendDLLMessageB in the loaded module.
  int Initialize();
  // The module's "GETVERSION" must answer at least `version`.
  int VerifyVersion(int version);
  // 1 when Initialize found the entry point; otherwise the "not initialized"
  // error.
  int CheckFunctionPtr();

  // Locks the item at the location (an empty location is the inventory
  // default location) and keeps both for the requests below.
  int LockLocation(const char* item, const char* location, KVTConnection* conn);
  int UnlockLocation(KVTConnection* conn);
  // Stock of the locked item moves by `qty` (negative for a sale); the three
  // further quantities are the module's other buckets; cost and value are
  // the amounts of the movement. The activity fields go with it.
  int UpdateInventoryWithAmounts(double qty, double qty2, double qty3, double qty4, double cost,
                                 double value, KVTConnection* conn);
  int UpdateLastSaleDate(const char* saleDate, KVTConnection* conn);
  // Where the next changes come from, as tab-separated "NN=value" items:
  // 00 package, 01 program, 02 source link, 03 source reference, 04 date.
  // Other items are ignored; fields not named become empty.
  void SetActivityInfo(const char* text);

  // In order, as the module's callers know them.
  HMODULE module = nullptr;
  int error = 0;
  KVTSendDLLMessageB pf = nullptr;
  HWND ParentWin = nullptr;
  char* szErrorBuf = nullptr;
  unsigned iErrorLen = 0;
  char szInventoryRef[20] = "";
  char szLocation[10] = "";
  char szPackage[50] = "";
  char szProgram[50] = "";
  char szActDate[50] = "";
  char szSourceLink[50] = "";
  char szSourceRef[50] = "";

 private:
  int Fail(const char* text);
  int Request(const char* command, const char* text, KVTConnection* conn);
};

namespace kvt::sale {

// A message of a save for the cashier. A save collects them and the screen
// shows them once the sale's transaction has ended, so no other till waits
// on a cashier's OK.
struct Notice {
  std::string text;
  bool stop = true;  // an error box that stops; else one that informs
};

// One sold line's stock movement, as texts of the sale.
struct StockMove {
  std::string item, location;  // an empty location is the inventory default
  std::string quantity;        // sold; negative for a return
  std::string unitCost, amount;
  std::string saleLink, saleNumber, saleDate;  // where the movement comes from
};

// The notice of a stock movement that went wrong: "Ref: item Loc: location
// Qty: quantity **what**".
Notice StockProblem(const StockMove& move, const char* what);

// The stock and history part of a save, run inside the sale's transaction.
class SaleStock {
 public:
  // `parent`: the window through which the host is asked for the module.
  explicit SaleStock(HWND parent);

  // Quantity on hand down by the quantity sold and the last sale date set,
  // through the inventory module. False when the module could not be had
  // or the item not locked; every problem becomes a notice (information),
  // and later requests are still sent after a failed update.
  bool ReduceQuantity(const StockMove& move, std::vector<Notice>* notices);
  // Adds quantity and amount to the current, month and year totals of the
  // sales category at the store. False, with a notice, when it failed.
  bool UpdateCategoryHistory(const std::string& category, const std::string& store, double quantity,
                             double amount, std::vector<Notice>* notices);

 private:
  HWND parent_;
  KVTConnection conn_{1};  // what the inventory module's requests run on
  kvt::sql::Query history_;
};

}  // namespace kvt::sale

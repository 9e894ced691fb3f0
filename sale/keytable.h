// The sale entry screen's keys and key help, decided from the sale's state
// and the configuration alone, so the screen only carries out the answer.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/win/window.h"

namespace kvt::sale {

// What a key does on the sale entry screen.
enum class SaleKeyAction {
  PassOn,   // not the screen's: the runtime (or the grid) handles it as usual
  Swallow,  // the screen's key, but nothing to do in this state
  TogglePrice,
  NoSale,
  CloseOutTill,
  Transfer,
  ViewPreviousSale,
  RemoveTax,
  SuspendItems,
  ViewSuspendedItems,
  ReturnPreviousItem,
  ViewCustomerBalance,
  PymtOnAcct,
  VoidThisSale,
  CashCheck,
  TotalSale,
  EditLines,      // command 8000
  FinishEditing,  // command 9000
  VoidItem,
  ViewPriceCheck,
};

struct SaleKeyState {
  bool orderHasItems = false;
  bool enteringItem = false;
  int mode = 0;  // 0 entering items, 1 editing lines
  bool secPriceAvail = false;
  int gridSelection = -1;  // the selected grid row, -1 none
};

// The configuration flags the keys and their help depend on ("T" is on).
struct SaleKeyConfig {
  bool useInventory = false;
  bool allowRemoveTax = false;
  bool allowReturnPreviousItem = false;
  bool allowViewCustomerBalance = false;
  bool allowVoidTab1 = false;
  bool allowCashChecking = false;
};

struct SaleKeyPress {
  UINT vk = 0;
  bool shift = false, ctrl = false, alt = false;
};

SaleKeyAction DecideSaleKey(const SaleKeyPress& key, const SaleKeyState& state,
                            const SaleKeyConfig& config);

// The key help texts 111, 184-187, 116-118, 148 and 227 by their ids (ids not
// in the map are blank), the secondary-price hint of text 145, and whether
// the F6 line is drawn in red (sales are suspended).
struct SaleKeyHelp {
  std::map<int, std::string> texts;
  std::string priceHint;
  bool suspendedInRed = false;
};

// `field` is the buffer name of the field with the focus ("IREF",
// "DESCRIPTION", "QTYORDERED", "PRICE", "ENTRYTOTAL").
SaleKeyHelp DecideSaleKeyHelp(int mode, bool hasLines, std::string_view field, bool secPriceAvail,
                              bool suspendedSalesExist, const SaleKeyConfig& config);

// The ids of the key help texts, each blanked before a new help is shown.
inline constexpr int kSaleKeyHelpIds[] = {111, 184, 185, 186, 187, 116, 117, 118, 148, 227};

}  // namespace kvt::sale

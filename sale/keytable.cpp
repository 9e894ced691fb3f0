// The sale entry screen's key table and key help.
#include "sale/keytable.h"

#include "platform/forms/keys.h"

namespace kvt::sale {

using A = SaleKeyAction;

SaleKeyAction DecideSaleKey(const SaleKeyPress& key, const SaleKeyState& s,
                            const SaleKeyConfig& cfg) {
  if (key.alt) return A::Swallow;
  if (key.ctrl && key.vk == VK_TAB) return A::Swallow;
  if (key.ctrl && key.vk == VK_F3) return A::Transfer;
  const bool free = !s.orderHasItems && !s.enteringItem;
  const bool hasLines = s.orderHasItems && !s.enteringItem;
  const bool lines = hasLines && s.mode == 0;
  switch (key.vk) {
    case VK_ESCAPE:
    case VK_F2:
    case VK_F3:
    case VK_F4:
    case VK_F5:
    case VK_F6:
    case VK_F7:
    case VK_F8:
    case VK_F9:
    case VK_F10:
    case VK_F11:
    case VK_UP:
    case VK_DOWN:
    case VK_DELETE:
      break;
    default:
      return A::PassOn;
  }
  if (key.shift || key.ctrl) return A::Swallow;
  switch (key.vk) {
    case VK_ESCAPE:
      return (s.orderHasItems || s.enteringItem) && s.secPriceAvail ? A::TogglePrice : A::Swallow;
    case VK_F2:
      return free ? A::NoSale : A::Swallow;
    case VK_F3:
      return free ? A::CloseOutTill : A::Swallow;
    case VK_F4:
      if (free) return A::ViewPreviousSale;
      return lines && cfg.allowRemoveTax ? A::RemoveTax : A::Swallow;
    case VK_F5:
      return lines ? A::SuspendItems : A::Swallow;
    case VK_F6:
      return free ? A::ViewSuspendedItems : A::Swallow;
    case VK_F7:
      if (lines && cfg.allowReturnPreviousItem) return A::ReturnPreviousItem;
      return free && cfg.allowViewCustomerBalance ? A::ViewCustomerBalance : A::Swallow;
    case VK_F8:
      return free ? A::PymtOnAcct : A::Swallow;
    case VK_F9:
      if (hasLines && cfg.allowVoidTab1) return A::VoidThisSale;
      return free && cfg.allowCashChecking ? A::CashCheck : A::Swallow;
    case VK_F10:
      if (s.mode == 1) return A::FinishEditing;
      return lines ? A::TotalSale : A::Swallow;
    case VK_F11:
      return A::ViewPriceCheck;
    case VK_UP:
      if (lines) return A::EditLines;
      return s.gridSelection == 0 ? A::FinishEditing : A::PassOn;
    case VK_DOWN:
      return lines ? A::EditLines : A::PassOn;
    case VK_DELETE:
      return s.mode == 1 ? A::VoidItem : A::Swallow;
  }
  return A::PassOn;
}

SaleKeyHelp DecideSaleKeyHelp(int mode, bool hasLines, std::string_view field, bool secPriceAvail,
                              bool suspendedSalesExist, const SaleKeyConfig& cfg) {
  SaleKeyHelp h;
  auto& t = h.texts;
  if (mode == 1) {
    t[111] = "DEL - Void Item";
    t[187] = "F10 - Finished editing";
    return h;
  }
  if (secPriceAvail) h.priceHint = "Press ESC to toggle between primary and secondary price.";
  if (field == "DESCRIPTION") {
    t[111] = "Enter the description.";
  } else if (field == "QTYORDERED") {
    t[111] = "Press <ENTER> for 1.";
  } else if (field == "PRICE") {
    t[111] = "Enter the price each.";
  } else if (field == "ENTRYTOTAL") {
    t[111] = "Enter the amount.";
  } else if (hasLines) {
    const char* removeTax = cfg.allowRemoveTax ? "F4 - Remove tax on previous item" : nullptr;
    if (cfg.useInventory) {
      t[111] = "// - Search by Inventory Reference";
      t[184] = "/# - Search by Inventory Description";
      if (removeTax) t[185] = removeTax;
    } else if (removeTax) {
      t[111] = removeTax;
    }
    t[187] = "F5 - Suspend Items";
    if (cfg.allowReturnPreviousItem) t[116] = "F7 - Return previous item";
    t[227] = "F11 - Price Check";
    if (cfg.allowVoidTab1) {
      t[117] = "F9 - Void Sale";
      t[118] = "F10 - Total Sale";
    } else {
      t[117] = "F10 - Total Sale";
    }
  } else {
    if (cfg.useInventory) {
      t[111] = "// - Search by Inventory Reference";
      t[184] = "/# - Search by Inventory Description";
      t[185] = "F2 - No Sale";
      t[186] = "F3 - Close Out Till";
    } else {
      t[111] = "F2 - No Sale";
      t[184] = "F3 - Close Out Till";
    }
    t[187] = "F6 - View Suspend Items";
    h.suspendedInRed = suspendedSalesExist;
    if (cfg.allowViewCustomerBalance) {
      t[116] = "F7 - View Customer Balance";
      t[117] = "F8 - Payment on Account";
      if (cfg.allowCashChecking) t[118] = "F9 - Cash Check";
    } else {
      t[116] = "F8 - Payment on Account";
      if (cfg.allowCashChecking) t[117] = "F9 - Cash Check";
    }
    t[227] = "F11 - Price Check";
    t[148] = "F4 - View Previous Sale";
  }
  return h;
}

}  // namespace kvt::sale

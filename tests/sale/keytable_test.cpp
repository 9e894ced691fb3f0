// The sale entry screen's keys and key help by state and configuration.
#include "sale/keytable.h"

#include <gtest/gtest.h>

#include "platform/forms/keys.h"

namespace {

using kvt::sale::SaleKeyAction;
using A = SaleKeyAction;
using kvt::sale::SaleKeyConfig;
using kvt::sale::SaleKeyState;

// The four states a sale is in when a key comes.
SaleKeyState State(const char* name) {
  SaleKeyState s;
  std::string n = name;
  s.orderHasItems = n == "lines" || n == "editing" || n == "lines+entering";
  s.enteringItem = n == "entering" || n == "lines+entering";
  s.mode = n == "editing" ? 1 : 0;
  s.secPriceAvail = true;
  return s;
}

SaleKeyConfig AllowAll() {
  return {true, true, true, true, true, true};
}

TEST(SaleKeys, EachKeyActsOnlyInItsState) {
  // clang-format off
  struct Case { UINT vk; const char* state; A want; } cases[] = {
      {VK_F2, "free", A::NoSale},          {VK_F2, "lines", A::Swallow},
      {VK_F3, "free", A::CloseOutTill},    {VK_F3, "lines", A::Swallow},
      {VK_F4, "free", A::ViewPreviousSale},{VK_F4, "lines", A::RemoveTax},
      {VK_F4, "entering", A::Swallow},
      {VK_F5, "lines", A::SuspendItems},   {VK_F5, "free", A::Swallow},
      {VK_F6, "free", A::ViewSuspendedItems}, {VK_F6, "lines", A::Swallow},
      {VK_F7, "lines", A::ReturnPreviousItem}, {VK_F7, "free", A::ViewCustomerBalance},
      {VK_F8, "free", A::PymtOnAcct},      {VK_F8, "lines", A::Swallow},
      {VK_F9, "lines", A::VoidThisSale},   {VK_F9, "editing", A::VoidThisSale},
      {VK_F9, "free", A::CashCheck},       {VK_F9, "lines+entering", A::Swallow},
      {VK_F10, "lines", A::TotalSale},     {VK_F10, "free", A::Swallow},
      {VK_F10, "editing", A::FinishEditing},
      {VK_F11, "entering", A::ViewPriceCheck},
      {VK_ESCAPE, "entering", A::TogglePrice}, {VK_ESCAPE, "free", A::Swallow},
      {VK_UP, "lines", A::EditLines},      {VK_DOWN, "lines", A::EditLines},
      {VK_DOWN, "editing", A::PassOn},     {VK_UP, "editing", A::PassOn},
      {VK_DELETE, "editing", A::VoidItem}, {VK_DELETE, "lines", A::Swallow},
      {'A', "free", A::PassOn},            {VK_RETURN, "lines", A::PassOn},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(DecideSaleKey({c.vk}, State(c.state), AllowAll()), c.want)
        << "key " << c.vk << " in " << c.state;
}

TEST(SaleKeys, ModifiersAndSwitchesTurnKeysOff) {
  SaleKeyConfig none;
  // clang-format off
  struct Case { kvt::sale::SaleKeyPress key; const char* state; SaleKeyConfig cfg; A want; } cases[] = {
      {{VK_F3, false, true}, "lines", none, A::Transfer},     // Ctrl+F3 in every state
      {{VK_TAB, false, true}, "free", none, A::Swallow},
      {{VK_F2, true}, "free", AllowAll(), A::Swallow},        // Shift+F2 is not F2
      {{VK_F2, false, false, true}, "free", AllowAll(), A::Swallow},
      {{'X', false, false, true}, "free", AllowAll(), A::Swallow},  // anything with Alt
      {{VK_F4}, "lines", none, A::Swallow},
      {{VK_F7}, "lines", none, A::Swallow},  {{VK_F7}, "free", none, A::Swallow},
      {{VK_F9}, "lines", none, A::Swallow},  {{VK_F9}, "free", none, A::Swallow},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(DecideSaleKey(c.key, State(c.state), c.cfg), c.want)
        << "key " << c.key.vk << " in " << c.state;
}

TEST(SaleKeys, UpOnTheFirstRowFinishesEditing) {
  SaleKeyState s = State("free");
  s.gridSelection = 0;
  EXPECT_EQ(DecideSaleKey({VK_UP}, s, {}), A::FinishEditing);
  s.gridSelection = 3;
  EXPECT_EQ(DecideSaleKey({VK_UP}, s, {}), A::PassOn);
}

TEST(SaleKeyHelp, ShowsTheKeysOfTheFieldAndState) {
  SaleKeyConfig inv = AllowAll(), plain;
  plain.allowVoidTab1 = false;
  // clang-format off
  struct Case { int mode; bool lines; const char* field; SaleKeyConfig cfg; std::map<int, std::string> want; } cases[] = {
      {1, true, "IREF", inv, {{111, "DEL - Void Item"}, {187, "F10 - Finished editing"}}},
      {0, true, "QTYORDERED", inv, {{111, "Press <ENTER> for 1."}}},
      {0, true, "IREF", inv, {{111, "// - Search by Inventory Reference"}, {184, "/# - Search by Inventory Description"},
                              {185, "F4 - Remove tax on previous item"}, {187, "F5 - Suspend Items"},
                              {116, "F7 - Return previous item"}, {227, "F11 - Price Check"},
                              {117, "F9 - Void Sale"}, {118, "F10 - Total Sale"}}},
      {0, true, "IREF", plain, {{187, "F5 - Suspend Items"}, {227, "F11 - Price Check"}, {117, "F10 - Total Sale"}}},
      {0, false, "IREF", inv, {{111, "// - Search by Inventory Reference"}, {184, "/# - Search by Inventory Description"},
                               {185, "F2 - No Sale"}, {186, "F3 - Close Out Till"}, {187, "F6 - View Suspend Items"},
                               {116, "F7 - View Customer Balance"}, {117, "F8 - Payment on Account"},
                               {118, "F9 - Cash Check"}, {227, "F11 - Price Check"}, {148, "F4 - View Previous Sale"}}},
      {0, false, "IREF", plain, {{111, "F2 - No Sale"}, {184, "F3 - Close Out Till"}, {187, "F6 - View Suspend Items"},
                                 {116, "F8 - Payment on Account"}, {227, "F11 - Price Check"}, {148, "F4 - View Previous Sale"}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    auto h = DecideSaleKeyHelp(c.mode, c.lines, c.field, false, false, c.cfg);
    EXPECT_EQ(h.texts, c.want) << "mode " << c.mode << " lines " << c.lines << " " << c.field;
  }
  EXPECT_TRUE(DecideSaleKeyHelp(0, false, "IREF", true, true, plain).suspendedInRed);
  EXPECT_FALSE(DecideSaleKeyHelp(0, true, "IREF", true, true, plain).suspendedInRed);
  EXPECT_EQ(DecideSaleKeyHelp(0, true, "PRICE", true, false, plain).priceHint,
            "Press ESC to toggle between primary and secondary price.");
  EXPECT_EQ(DecideSaleKeyHelp(1, true, "IREF", true, false, plain).priceHint, "");
}

}  // namespace

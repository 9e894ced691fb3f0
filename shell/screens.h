// The module's screens by window class name. Each screen's own file
// registers how it is made (KVT_REGISTER_SCREEN); the exports ask for a
// screen by name and kind. A screen that this build does not have yet opens
// as an empty screen of the right kind with its caption and a line saying
// so, so every menu entry answers.
#pragma once

#include <functional>
#include <string>

#include "platform/forms/forms.h"

using KVTScreenMaker = std::function<KVTScreen*(HWND parent)>;

// Registers the maker of screen `className`; returns true (for static use).
bool KVTRegisterScreen(const std::string& className, KVTScreenMaker maker);
#define KVT_REGISTER_SCREEN(Class)                           \
  [[maybe_unused]] static const bool kvtRegistered_##Class = \
      KVTRegisterScreen(#Class, [](HWND parent) -> KVTScreen* { return new Class(parent); })

// The same screen as an MDI child, where its own maker makes a dialog (a
// screen the host opens both modally and in its MDI client).
bool KVTRegisterMDIScreen(const std::string& className, KVTScreenMaker maker);

// A new screen object of that kind (not yet created), owned by the caller
// until it is handed to a frame or tab window; the empty stand-in when the
// screen is not in this build or is not of that kind.
PVDialog* KVTNewDialog(const std::string& className, HWND parent, const std::string& caption);
PVMDIDialog* KVTNewMDIScreen(const std::string& className, HWND parent, const std::string& caption);
KVTPropertyPage* KVTNewPage(const std::string& className, HWND parent, const std::string& caption);
// A screen the host can open on a given key (the customer screen on a
// customer reference): the base library's KVTSetReference.
class KVTKeyedScreen {
 public:
  virtual ~KVTKeyedScreen() = default;
  virtual void KVTSetReference(const char* key) = 0;
};

// The password popup told which password it asks for: "1" the transfer
// password, anything else the till password. It ends with IDOK when the
// password matched.
class KVTPasswordScreen {
 public:
  virtual ~KVTPasswordScreen() = default;
  virtual void SetTransferFlag(const char* szTransferring) = 0;
};

// The transfer batch popup: the group of sales about to go is preset, and
// whether the operator chose to transfer, with the batch, is read after it
// ran.
class KVTTransferGroupScreen {
 public:
  virtual ~KVTTransferGroupScreen() = default;
  virtual void SetTranSalesCount(const char* s) = 0;
  virtual void SetTranStore(const char* s) = 0;
  virtual void SetTranDate(const char* s) = 0;
  virtual void SetTranTillRef(const char* s) = 0;
  virtual void SetTranShift(const char* s) = 0;
  virtual bool TransferChosen() const = 0;
  virtual const char* ChosenBatch() const = 0;
};

// True when this build has the screen.
bool KVTHasScreen(const std::string& className);

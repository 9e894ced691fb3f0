// Screens by class name, with empty stand-ins for those not built yet.
#include "shell/screens.h"

#include <map>
#include <memory>

namespace {

std::map<std::string, KVTScreenMaker>& Makers() {
  static std::map<std::string, KVTScreenMaker> makers;
  return makers;
}

KVTFormDecl PendingForm(const std::string& className, const std::string& caption) {
  KVTFormDecl form(className, caption, 60, 6);
  form.Label(0, "This screen is not available in this version.", 2, 2);
  return form;
}

template <class Kind>
class Pending : public Kind {
 public:
  Pending(HWND parent, const std::string& className, const std::string& caption)
      : Kind(parent, PendingForm(className, caption)) {}
};

std::map<std::string, KVTScreenMaker>& MDIMakers() {
  static std::map<std::string, KVTScreenMaker> makers;
  return makers;
}

template <class Kind>
Kind* Make(const std::string& className, HWND parent, const std::string& caption) {
  auto it = Makers().find(className);
  if (it != Makers().end()) {
    std::unique_ptr<KVTScreen> screen(it->second(parent));
    if (auto* kind = dynamic_cast<Kind*>(screen.get())) {
      screen.release();
      return kind;
    }
  }
  return new Pending<Kind>(parent, className, caption);
}

}  // namespace

bool KVTRegisterScreen(const std::string& className, KVTScreenMaker maker) {
  Makers()[className] = std::move(maker);
  return true;
}

bool KVTRegisterMDIScreen(const std::string& className, KVTScreenMaker maker) {
  MDIMakers()[className] = std::move(maker);
  return true;
}

bool KVTHasScreen(const std::string& className) {
  return Makers().count(className) > 0;
}

PVDialog* KVTNewDialog(const std::string& className, HWND parent, const std::string& caption) {
  return Make<PVDialog>(className, parent, caption);
}

PVMDIDialog* KVTNewMDIScreen(const std::string& className, HWND parent,
                             const std::string& caption) {
  auto it = MDIMakers().find(className);
  if (it != MDIMakers().end()) {
    std::unique_ptr<KVTScreen> screen(it->second(parent));
    if (auto* mdi = dynamic_cast<PVMDIDialog*>(screen.get())) {
      screen.release();
      return mdi;
    }
  }
  return Make<PVMDIDialog>(className, parent, caption);
}

KVTPropertyPage* KVTNewPage(const std::string& className, HWND parent, const std::string& caption) {
  return Make<KVTPropertyPage>(className, parent, caption);
}

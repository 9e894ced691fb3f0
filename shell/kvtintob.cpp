// Named events between modules: calling side and receiving side.
#include "shell/kvtintob.h"

#include <cstring>

#include "platform/forms/msgbox.h"
#include "shell/hostreq.h"

KVTModuleInterface::KVTModuleInterface() = default;

KVTModuleInterface::KVTModuleInterface(HWND owner, const std::string& className)
    : owner_window(owner), Class(className) {}

KVTModuleInterface::~KVTModuleInterface() {
  while (first_module) {
    ModuleNode* next = first_module->next;
    if (first_module->directHandle) FreeLibrary(first_module->directHandle);
    delete first_module;
    first_module = next;
  }
}

void KVTModuleInterface::AddModule(const std::string& name) {
  first_module = new ModuleNode{name, nullptr, nullptr, first_module};
}

void KVTModuleInterface::RemoveModule(const std::string& name) {
  for (ModuleNode** link = &first_module; *link; link = &(*link)->next) {
    if ((*link)->name == name) {
      ModuleNode* gone = *link;
      *link = gone->next;
      if (gone->directHandle) FreeLibrary(gone->directHandle);
      delete gone;
      return;
    }
  }
}

void KVTModuleInterface::Reset() {
  error_code = 0;
  ErrorMessage.clear();
  Key.clear();
  SubKey.clear();
  Param1.clear();
  Param2.clear();
  Param3.clear();
  Param4.clear();
  dParam1 = dParam2 = dParam3 = dParam4 = 0;
  iParam1 = iParam2 = iParam3 = iParam4 = 0;
}

HMODULE KVTModuleInterface::ObtainModule(ModuleNode* node) {
  if (module_load_mode == 0) return KVTHostModuleRequest(owner_window, node->name.c_str());
  if (!node->directHandle) node->directHandle = LoadLibrary(node->name.c_str());
  return node->directHandle;
}

void KVTModuleInterface::CallEvent(const std::string& event) {
  if (!owner_window) {
    MessageBox(owner_window, "Owner window has not been set.", "Kovatel Software", MB_OK);
    return;
  }
  if (Class.empty()) {
    MessageBox(owner_window, "Object class name has not been set.", "Kovatel Software", MB_OK);
    return;
  }
  for (ModuleNode* node = first_module; node; node = node->next) {
    if (!node->p) {
      HMODULE module = ObtainModule(node);
      if (!module) return;
      node->p = GetProc<KVTHandleEventFn>(module, "KVTInterface_HandleEvent");
      if (!node->p) {
        error_code = 1;
        ErrorMessage = "The " + node->name + " module does not support this interface object.";
        return;
      }
    }
    KVTEventObject& o = event_passing_object;
    o = KVTEventObject{};
    o.hWnd = hWnd;
    KVTSetEventText(o.Key, Key);
    KVTSetEventText(o.SubKey, SubKey);
    KVTSetEventText(o.Param1, Param1);
    KVTSetEventText(o.Param2, Param2);
    KVTSetEventText(o.Param3, Param3);
    KVTSetEventText(o.Param4, Param4);
    o.dParam1 = dParam1;
    o.dParam2 = dParam2;
    o.dParam3 = dParam3;
    o.dParam4 = dParam4;
    o.iParam1 = iParam1;
    o.iParam2 = iParam2;
    o.iParam3 = iParam3;
    o.iParam4 = iParam4;
    if (!node->p(event.c_str(), KVT_EVENT_VERSION, &o)) {
      error_code = 1;
      ErrorMessage = o.ErrorString;
      return;
    }
    Param1 = o.Param1;
    Param2 = o.Param2;
    Param3 = o.Param3;
    Param4 = o.Param4;
    dParam1 = o.dParam1;
    dParam2 = o.dParam2;
    dParam3 = o.dParam3;
    dParam4 = o.dParam4;
    iParam1 = o.iParam1;
    iParam2 = o.iParam2;
    iParam3 = o.iParam3;
    iParam4 = o.iParam4;
  }
}

int KVTModuleServer::HandleEvent(const char* event, int version, KVTEventObject* object) {
  if (!object) return 0;
  if (version != KVT_EVENT_VERSION) {
    KVTSetEventText(object->ErrorString, "This version is incompatible with the installed module.");
    return 0;
  }
  using Handler = int (KVTModuleServer::*)(KVTEventObject*);
  static const struct {
    const char* name;
    Handler handler;
  } table[] = {
      {"KVTInitializeEvent", &KVTModuleServer::KVTInitializeEvent},
      {"KVTDestroyEvent", &KVTModuleServer::KVTDestroyEvent},
      {"KVTLoadEvent", &KVTModuleServer::KVTLoadEvent},
      {"KVTSaveEvent", &KVTModuleServer::KVTSaveEvent},
      {"KVTDeleteEvent", &KVTModuleServer::KVTDeleteEvent},
      {"KVTClearEvent", &KVTModuleServer::KVTClearEvent},
      {"KVTAddKeyEvent", &KVTModuleServer::KVTAddKeyEvent},
      {"KVTEditKeyEvent", &KVTModuleServer::KVTEditKeyEvent},
      {"KVTDeleteKeyEvent", &KVTModuleServer::KVTDeleteKeyEvent},
      {"KVTLoadKeysEvent", &KVTModuleServer::KVTLoadKeysEvent},
      {"KVTLoadKeyEvent", &KVTModuleServer::KVTLoadKeyEvent},
      {"KVTSaveKeysEvent", &KVTModuleServer::KVTSaveKeysEvent},
      {"KVTSaveKeyEvent", &KVTModuleServer::KVTSaveKeyEvent},
      {"KVTRemoveKeysEvent", &KVTModuleServer::KVTRemoveKeysEvent},
      {"KVTRemoveKeyEvent", &KVTModuleServer::KVTRemoveKeyEvent},
      {"KVTGetKeyEvent", &KVTModuleServer::KVTGetKeyEvent},
      {"KVTValidateKeysEvent", &KVTModuleServer::KVTValidateKeysEvent},
      {"KVTValidateKeyEvent", &KVTModuleServer::KVTValidateKeyEvent},
      {"KVTRequestLocksEvent", &KVTModuleServer::KVTRequestLocksEvent},
      {"KVTReleaseLocksEvent", &KVTModuleServer::KVTReleaseLocksEvent},
      {"KVTDisplayEvent", &KVTModuleServer::KVTDisplayEvent},
  };
  const char* name = event ? event : "";
  for (const auto& entry : table)
    if (std::strcmp(name, entry.name) == 0) return (this->*entry.handler)(object);
  return HandleUserEvent(name, object);
}

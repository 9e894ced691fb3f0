// Named events between the modules of the suite: the calling side
// (KVTModuleInterface) and the receiving side a module embeds (KVTModuleServer).
//
// A module offers one entry point, KVTInterface_HandleEvent(event, version,
// KVTEventObject*), non-zero on success; the block is shared with the modules
// that answer (platform/win/moduleevent.h).
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/win/module.h"
#include "platform/win/moduleevent.h"
#include "platform/win/window.h"

class KVTModuleInterface {
 public:
  KVTModuleInterface();
  KVTModuleInterface(HWND owner, const std::string& className);
  ~KVTModuleInterface();
  KVTModuleInterface(const KVTModuleInterface&) = delete;
  KVTModuleInterface& operator=(const KVTModuleInterface&) = delete;

  void SetOwner(HWND owner) { owner_window = owner; }
  void SetClass(const std::string& className) { Class = className; }
  // Adds a module by file name ("KVTCTM.DLL"); the last added is called first.
  void AddModule(const std::string& name);
  void RemoveModule(const std::string& name);
  // Empties the error, the key texts and every parameter.
  void Reset();
  // Delivers the event to every module in the list; see Error() afterwards.
  void CallEvent(const std::string& event);
  int Error() const { return error_code; }
  const std::string& GetErrorString() const { return ErrorMessage; }

  std::string Key, SubKey;
  std::string Param1, Param2, Param3, Param4;
  double dParam1 = 0, dParam2 = 0, dParam3 = 0, dParam4 = 0;
  int iParam1 = 0, iParam2 = 0, iParam3 = 0, iParam4 = 0;
  HWND hWnd = nullptr;
  // 0: modules come from the host's module request; otherwise loaded directly.
  int module_load_mode = 0;

 private:
  struct ModuleNode {
    std::string name;
    KVTHandleEventFn p = nullptr;
    HMODULE directHandle = nullptr;  // only when loaded directly
    ModuleNode* next = nullptr;
  };

  HMODULE ObtainModule(ModuleNode* node);

  HWND owner_window = nullptr;
  std::string Class;
  std::string ErrorMessage;
  int error_code = 0;
  ModuleNode* first_module = nullptr;
  KVTEventObject event_passing_object;
};

// The receiving side: HandleEvent checks the version and dispatches by name
// to the handler of the same name; any other name goes to HandleUserEvent.
// Every handler fails (returns 0) unless the module overrides it.
class KVTModuleServer {
 public:
  virtual ~KVTModuleServer() = default;
  int HandleEvent(const char* event, int version, KVTEventObject* object);

 protected:
  virtual int KVTInitializeEvent(KVTEventObject*) { return 0; }
  virtual int KVTDestroyEvent(KVTEventObject*) { return 0; }
  virtual int KVTLoadEvent(KVTEventObject*) { return 0; }
  virtual int KVTSaveEvent(KVTEventObject*) { return 0; }
  virtual int KVTDeleteEvent(KVTEventObject*) { return 0; }
  virtual int KVTClearEvent(KVTEventObject*) { return 0; }
  virtual int KVTAddKeyEvent(KVTEventObject*) { return 0; }
  virtual int KVTEditKeyEvent(KVTEventObject*) { return 0; }
  virtual int KVTDeleteKeyEvent(KVTEventObject*) { return 0; }
  virtual int KVTLoadKeysEvent(KVTEventObject*) { return 0; }
  virtual int KVTLoadKeyEvent(KVTEventObject*) { return 0; }
  virtual int KVTSaveKeysEvent(KVTEventObject*) { return 0; }
  virtual int KVTSaveKeyEvent(KVTEventObject*) { return 0; }
  virtual int KVTRemoveKeysEvent(KVTEventObject*) { return 0; }
  virtual int KVTRemoveKeyEvent(KVTEventObject*) { return 0; }
  virtual int KVTGetKeyEvent(KVTEventObject*) { return 0; }
  virtual int KVTValidateKeysEvent(KVTEventObject*) { return 0; }
  virtual int KVTValidateKeyEvent(KVTEventObject*) { return 0; }
  virtual int KVTRequestLocksEvent(KVTEventObject*) { return 0; }
  virtual int KVTReleaseLocksEvent(KVTEventObject*) { return 0; }
  virtual int KVTDisplayEvent(KVTEventObject*) { return 0; }
  virtual int HandleUserEvent(const char* event, KVTEventObject*) { return 0; }
};

// A module of the suite for the event tests, built twice: EVTEST_NAME says
// which one it is. It appends its name to Param1, doubles dParam1, adds 1 to
// iParam1; "Fail" fails with its own error text after changing the values.
#include <cstring>
#include <string>

#include "shell/kvtintob.h"

namespace {

class TestServer : public KVTModuleServer {
 protected:
  int KVTInitializeEvent(KVTEventObject* o) override { return Touch(o); }
  int HandleUserEvent(const char* event, KVTEventObject* o) override {
    if (std::strcmp(event, "Fail") == 0) {
      Touch(o);
      KVTSetEventText(o->ErrorString, std::string(EVTEST_NAME) + " refused " + o->Key);
      return 0;
    }
    return Touch(o);
  }

 private:
  static int Touch(KVTEventObject* o) {
    KVTSetEventText(o->Param1, std::string(o->Param1) + EVTEST_NAME);
    o->dParam1 *= 2;
    o->iParam1 += 1;
    return 1;
  }
};

}  // namespace

KVT_EXTERN_C int KVTInterface_HandleEvent(const char* event, int version, KVTEventObject* o) {
  static TestServer server;
  return server.HandleEvent(event, version, o);
}

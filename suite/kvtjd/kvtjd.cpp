// The financing and card module stand-in: location questions from a settings file.
#include "suite/kvtjd/kvtjd.h"

#include <sstream>
#include <string>

#include "platform/win/profile.h"

namespace {

// The value of "key=" in a tab-separated request.
std::string Item(const char* text, const std::string& key) {
  std::stringstream in(text ? text : "");
  std::string item;
  while (std::getline(in, item, '\t'))
    if (item.compare(0, key.size() + 1, key + "=") == 0) return item.substr(key.size() + 1);
  return "";
}

bool Listed(const char* section, const std::string& location) {
  std::stringstream in(kvt::ProfileString(".\\KVTJD.ini", section, "Locations"));
  std::string entry;
  while (std::getline(in, entry, ',')) {
    std::size_t b = entry.find_first_not_of(' '), e = entry.find_last_not_of(' ');
    if (b == std::string::npos) continue;
    entry = entry.substr(b, e - b + 1);
    if (entry == "*" || entry == location) return true;
  }
  return false;
}

}  // namespace

int KVTInterface_HandleEvent(const char* event, int version, KVTEventObject* object) {
  if (!object) return 0;
  if (version != KVT_EVENT_VERSION) {
    KVTSetEventText(object->ErrorString, "This version is incompatible with the installed module.");
    return 0;
  }
  std::string name = event ? event : "";
  if (name == "KVTInitializeEvent" || name == "KVTDestroyEvent") return 1;
  if (name == "DoCheckLocationAcceptsFarmPlan" || name == "DoCheckLocationAcceptsBankCard") {
    const char* section = name == "DoCheckLocationAcceptsFarmPlan" ? "Farm Plan" : "Bank Cards";
    object->iParam1 = Listed(section, Item(object->Param1, "01")) ? 1 : 0;
    return 1;
  }
  KVTSetEventText(object->ErrorString, "The financing module does not offer " + name + ".");
  return 0;
}

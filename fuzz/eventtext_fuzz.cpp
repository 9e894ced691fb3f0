// The text of a module event: "NN=value" items separated by tabs, read by
// key, and the fixed buffers of the event block it travels in.
#include <cstring>

#include "fuzz/fuzz.h"
#include "platform/win/moduleevent.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = FuzzText(data, size);
  KVTEventObject o;
  KVTSetEventText(o.Param1, text);
  const std::size_t kept = std::strlen(o.Param1);
  FUZZ_CHECK(kept < sizeof o.Param1 && text.compare(0, kept, o.Param1) == 0);
  FUZZ_CHECK(KVTCutLength(text.substr(0, text.find('\0')), sizeof o.Param1 - 1) == kept);
  for (const char* key : {"00", "01", "02", "07", ""}) {
    const std::string value = KVTEventItem(o.Param1, key);
    FUZZ_CHECK(value.find('\t') == std::string::npos);
    if (!value.empty())
      FUZZ_CHECK(std::string(o.Param1).find(std::string(key) + "=" + value) != std::string::npos);
  }
  // An item written by the sending side is read back by the receiving one.
  const std::string value = text.substr(0, text.find_first_of(std::string("\t\0", 2)));
  const std::string request = "00=KVTPOS\t01=" + value + "\t02=x";
  FUZZ_CHECK(KVTEventItem(request.c_str(), "01") == value);
  return 0;
}

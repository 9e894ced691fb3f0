// Till scripts of any content: parsed or refused with the number of the line
// at fault, never anything between.
#include <vector>

#include "tests/fuzz/fuzz.h"
#include "tools/kvtpos-script/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = FuzzText(data, size);
  std::vector<ScriptCommand> commands;
  std::string error;
  if (ParseScript(text, &commands, &error)) {
    FUZZ_CHECK(error.empty());
    int line = 0;
    for (const ScriptCommand& c : commands) {
      FUZZ_CHECK(c.line > line);
      line = c.line;
      for (int n : c.numbers) FUZZ_CHECK(n >= 0);
    }
  } else {
    FUZZ_CHECK(error.rfind("line ", 0) == 0 && commands.empty());
  }
  return 0;
}

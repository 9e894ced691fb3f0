// StripDateZeros on any text: the result is the trimmed text less trailing
// "00" pairs, never longer, in the same buffer.
#include <cstring>
#include <vector>

#include "fuzz/fuzz.h"
#include "platform/base/kvtbase.h"
#include "shell/posmisc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char> buf(size + 1, '\0');
  std::memcpy(buf.data(), data, size);
  const std::string before(buf.data());
  StripDateZeros(buf.data());
  const std::string after(buf.data());
  FUZZ_CHECK(after.size() <= before.size());
  std::vector<char> trimmed(before.begin(), before.end());
  trimmed.push_back('\0');
  const std::string t = TRIM(trimmed.data());
  FUZZ_CHECK(t.compare(0, after.size(), after) == 0);
  FUZZ_CHECK(after.size() % 2 == t.size() % 2);
  StripDateZeros(nullptr);
  return 0;
}

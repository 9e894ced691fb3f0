// The message calls of the inventory module: the buffer conventions every
// command shares, and the commands (one file each).
#pragma once

#include <string>
#include <vector>

namespace kvtinv {

// Request and answer texts start here; the bytes before stay blank.
inline constexpr int kTextAt = 50;

// The request text split at commas, each field trimmed. Reads no further
// than `size` bytes, so an unterminated request is safe.
std::vector<std::string> RequestFields(const char* request, int size);
// The field at `index`, or "" when the request has fewer.
const std::string& Field(const std::vector<std::string>& fields, std::size_t index);
// Writes `answer` from kTextAt, cut to the buffer, terminated. Returns 1.
int Answer(char* reply, int size, const std::string& answer);
// Marks the reply as failed (0xFF in its first byte). Returns 0.
int Fail(char* reply);

std::string Trim(const std::string& s);

// A message command: request and reply of `size` bytes (at least kTextAt + 1).
using Command = int (*)(const char* request, char* reply, int size);

int GetPricing(const char* request, char* reply, int size);

}  // namespace kvtinv

// The inventory module's entry points: message calls by command name, and
// the discount of one unit.
#include "suite/kvtinv/kvtinv.h"

#include <cstdlib>
#include <cstring>

#include "platform/base/textwidth.h"
#include "suite/kvtinv/commands.h"

namespace kvtinv {

std::string Trim(const std::string& s) {
  const char* blanks = " \t\r\n";
  std::size_t b = s.find_first_not_of(blanks);
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

std::vector<std::string> RequestFields(const char* request, int size) {
  std::vector<std::string> fields;
  const char* text = request + kTextAt;
  std::string all(text, strnlen(text, static_cast<std::size_t>(size - kTextAt)));
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = all.find(',', start);
    fields.push_back(Trim(all.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fields;
}

const std::string& Field(const std::vector<std::string>& fields, std::size_t index) {
  static const std::string empty;
  return index < fields.size() ? fields[index] : empty;
}

int Answer(char* reply, int size, const std::string& answer) {
  KVTCopyText(reply + kTextAt, static_cast<std::size_t>(size - kTextAt), answer);
  return 1;
}

int Fail(char* reply) {
  reply[0] = static_cast<char>(0xFF);
  return 0;
}

namespace {

struct Entry {
  const char* name;
  Command run;
};

// Commands by name; a new command is one line here and a file of its own.
const Entry kCommands[] = {
    {"GETPRICING", GetPricing},
};

}  // namespace
}  // namespace kvtinv

int SendDLLMessage(const char* command, char* request, char* reply, int size) {
  if (!command || !request || !reply || size <= kvtinv::kTextAt) return 0;
  for (const kvtinv::Entry& e : kvtinv::kCommands)
    if (std::strcmp(e.name, command) == 0) return e.run(request, reply, size);
  return 0;
}

double GetPriceDiscount(double price, const char* discount) {
  std::string d = kvtinv::Trim(discount ? discount : "");
  if (!d.empty() && d.back() == '*') d = kvtinv::Trim(d.substr(0, d.size() - 1));
  if (d.empty()) return 0;
  if (d.back() == '%') return price * std::atof(d.c_str()) * 0.01;
  return std::atof(d.c_str());
}

// A scripted inventory module for the price lookup tests: it keeps the last
// request it was sent and answers what the test told it to; any command but
// "GETPRICING" fails. Built twice: with GetPriceDiscount, and
// (KVT_FAKE_NO_DISCOUNT) without it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/export.h"

namespace {
std::string g_answer;
int g_result = 1;
bool g_markFailed = false;
char g_request[400];
}  // namespace

// The next answers: the reply text from offset 50, the result, and whether
// the reply's first byte carries the failure mark 0xFF.
KVT_EXTERN_C void FakeInvScript(const char* answer, int result, int markFailed) {
  g_answer = answer;
  g_result = result;
  g_markFailed = markFailed != 0;
  std::memset(g_request, 0, sizeof g_request);
}

// The whole 400-byte request of the last call.
KVT_EXTERN_C const char* FakeInvRequest() {
  return g_request;
}

KVT_EXTERN_C int SendDLLMessage(const char* command, char* request, char* reply, int size) {
  std::memcpy(g_request, request, std::min(sizeof g_request, static_cast<std::size_t>(size)));
  bool known = std::strcmp(command, "GETPRICING") == 0;
  std::snprintf(reply + 50, static_cast<std::size_t>(size - 50), "%s", g_answer.c_str());
  if (g_markFailed || !known) reply[0] = static_cast<char>(0xFF);
  return known ? g_result : 0;
}

#ifndef KVT_FAKE_NO_DISCOUNT
// "N%" is N percent of the price, anything else an amount per unit. A text
// still carrying the "*" mark is refused loudly (1000 off), so a caller that
// forgot to drop the mark shows in the amount.
KVT_EXTERN_C double GetPriceDiscount(double price, const char* discount) {
  std::string d = discount;
  if (d.find('*') != std::string::npos) return 1000;
  if (!d.empty() && d.back() == '%') return price * std::atof(d.c_str()) / 100;
  return std::atof(d.c_str());
}
#endif

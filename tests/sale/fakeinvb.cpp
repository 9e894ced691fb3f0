// A scripted inventory module for the stock requests of a save: it keeps
// every request it is sent and answers what the test told it to. Built
// twice: "KVTINVREC.DLL", and (KVT_FAKE_NO_ENTRY) "KVTINVNOB.DLL" without
// SendDLLMessageB, as an older inventory module.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/base/export.h"

namespace {
struct Call {
  std::string text;  // "COMMAND|request"
  bool withParent, withConnection;
};
std::vector<Call> g_calls;
std::map<std::string, int> g_results;
std::map<std::string, std::string> g_errors;
}  // namespace

// From now on `command` answers `result` and writes `error` (may be empty)
// into the caller's error buffer; the calls so far are forgotten when
// `command` is null.
KVT_EXTERN_C void FakeInvBScript(const char* command, int result, const char* error) {
  if (!command) {
    g_calls.clear();
    g_results.clear();
    g_errors.clear();
    return;
  }
  g_results[command] = result;
  g_errors[command] = error ? error : "";
}

KVT_EXTERN_C int FakeInvBCalls() {
  return static_cast<int>(g_calls.size());
}
// "COMMAND|request" of call `i`, with "+parent" and "+connection" when they came.
KVT_EXTERN_C const char* FakeInvBCall(int i) {
  static std::string out;
  const Call& c = g_calls.at(static_cast<std::size_t>(i));
  out = c.text + (c.withParent ? " +parent" : "") + (c.withConnection ? " +connection" : "");
  return out.c_str();
}

#ifndef KVT_FAKE_NO_ENTRY
KVT_EXTERN_C int SendDLLMessageB(void* parent, void* conn, const char* command, const char* request,
                                 char*, unsigned, char* errorBuf, unsigned errorLen) {
  std::string cmd = command ? command : "";
  g_calls.push_back({cmd + "|" + (request ? request : ""), parent != nullptr, conn != nullptr});
  auto r = g_results.find(cmd);
  int result = r == g_results.end() ? 1 : r->second;
  auto e = g_errors.find(cmd);
  if (e != g_errors.end() && errorBuf && errorLen)
    std::snprintf(errorBuf, errorLen, "%s", e->second.c_str());
  return result;
}
#else
KVT_EXTERN_C int SendDLLMessage(const char*, char*, char*, int) {
  return 0;
}
#endif

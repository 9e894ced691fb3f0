// The scripted user's steps written as script lines, for the tests' tables:
// "type TEXT", "key NAME", "click CAPTION", "answer BUTTON" (Yes, No, OK,
// Cancel), "expect MESSAGE", "row GRID ROW" and "see TEXT" (the screen in
// front shows it).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/forms/headless/scripted.h"
#include "platform/forms/msgbox.h"

namespace kvt::test {

// Queues one step; false for a step it does not know.
inline bool QueueStep(KVTScriptedUser& user, const std::string& step) {
  const std::size_t sp = step.find(' ');
  const std::string verb = step.substr(0, sp),
                    arg = sp == std::string::npos ? "" : step.substr(sp + 1);
  if (verb == "type")
    user.Type(arg);
  else if (verb == "key")
    user.Key(arg);
  else if (verb == "click")
    user.Click(arg);
  else if (verb == "answer")
    user.Answer(ButtonFromName(arg));
  else if (verb == "expect")
    user.ExpectMessage(arg);
  else if (verb == "row")
    user.ClickRow(std::stoi(arg), std::stoi(arg.substr(arg.find(' ') + 1)));
  else if (verb == "see")
    user.Do([&user, arg] { EXPECT_NE(user.Render().find(arg), std::string::npos) << arg; });
  else
    return false;
  return true;
}

// The steps of a text separated by ";".
inline std::vector<std::string> SplitSteps(const std::string& steps) {
  std::vector<std::string> out;
  for (std::size_t at = 0; at < steps.size();) {
    const std::size_t end = std::min(steps.find(';', at), steps.size());
    out.push_back(steps.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

}  // namespace kvt::test

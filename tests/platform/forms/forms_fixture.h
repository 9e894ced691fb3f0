// A host window with an MDI client, the headless front end installed, and a
// way to queue the scripted user's steps as script lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/forms/headless/render.h"

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    user.Install();
    host = KVTCreateMDIHost("Host");
  }
  void TearDown() override {
    KVTForms::Instance().CloseAll();
    DestroyWindow(host);
    SetFormsQuery({});
  }

  // "type TEXT", "key NAME", "click CAPTION", "answer Yes", "row GRID ROW",
  // "expect MESSAGE".
  void Queue(const std::vector<std::string>& steps) {
    for (const std::string& s : steps) {
      std::size_t sp = s.find(' ');
      std::string verb = s.substr(0, sp);
      std::string arg = sp == std::string::npos ? "" : s.substr(sp + 1);
      if (verb == "type") {
        user.Type(arg);
      } else if (verb == "key") {
        user.Key(arg);
      } else if (verb == "click") {
        user.Click(arg);
      } else if (verb == "answer") {
        user.Answer(ButtonFromName(arg));
      } else if (verb == "expect") {
        user.ExpectMessage(arg);
      } else if (verb == "row") {
        std::size_t sp2 = arg.find(' ');
        user.ClickRow(std::stoi(arg.substr(0, sp2)), std::stoi(arg.substr(sp2 + 1)));
      } else {
        ADD_FAILURE() << "bad step " << s;
      }
    }
  }
  void Play(const std::vector<std::string>& steps) {
    Queue(steps);
    user.Run();
    user.Finish();
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const KVTShownMessage& m : user.Messages()) out.push_back(m.text);
    return out;
  }

  KVTHeadlessBackend user;
  HWND host = nullptr;
};

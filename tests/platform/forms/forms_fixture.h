// A host window with an MDI client, the headless front end installed, and a
// way to queue the scripted user's steps as script lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/forms/headless/render.h"
#include "tests/support/steps.h"

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

  // Steps as script lines (tests/support/steps.h).
  void Queue(const std::vector<std::string>& steps) {
    for (const std::string& s : steps)
      if (!kvt::test::QueueStep(user, s)) ADD_FAILURE() << "bad step " << s;
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

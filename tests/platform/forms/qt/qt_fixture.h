// Qt front-end tests: a QApplication on the offscreen platform (made by
// the test's main), the Qt backend with its scripted user installed, a host
// window with an MDI client, and a folder for the pictures.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/qt/formview.h"
#include "platform/forms/qt/qtbackend.h"
#include "platform/forms/qt/qtscripted.h"

class QtFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    user.Install();
    host = KVTCreateMDIHost("Host");
    user.SetPictureFolder(PictureFolder());
  }
  void TearDown() override {
    KVTForms::Instance().CloseAll();
    DestroyWindow(host);
    SetFormsQuery({});
    QApplication::processEvents();
  }
  static std::string PictureFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    return QDir::currentPath().toStdString() + "/pictures/" + name;
  }
  // Draws now and lists what is not drawn as declared on `screen`.
  std::vector<std::string> Problems(const KVTScreen& screen) {
    qt.Sync();
    return qt.CheckDrawn(screen);
  }

  KVTQtBackend qt;
  KVTQtScriptedUser user{qt};
  HWND host = nullptr;
};

// The test programs' main: Qt on the offscreen platform.
#define KVT_QT_TEST_MAIN()                   \
  int main(int argc, char** argv) {          \
    qputenv("QT_QPA_PLATFORM", "offscreen"); \
    QApplication app(argc, argv);            \
    ::testing::InitGoogleTest(&argc, argv);  \
    return RUN_ALL_TESTS();                  \
  }

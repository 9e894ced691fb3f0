// The Qt front end for a program that runs till scripts and must not see Qt
// itself (kvtpos-script): starts the application (on the offscreen platform
// when there is no display), installs the Qt front end with its scripted
// user, and keeps the pictures of the screens shown.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/headless/scripted.h"

class KVT_EXPORT KVTQtScriptFront {
 public:
  // `pictureFolder` empty: no pictures.
  explicit KVTQtScriptFront(const std::string& pictureFolder);
  ~KVTQtScriptFront();
  KVTQtScriptFront(const KVTQtScriptFront&) = delete;
  KVTQtScriptFront& operator=(const KVTQtScriptFront&) = delete;

  // The scripted user, installed as the runtime's front end.
  KVTScriptedUser& User();
  // The pictures written so far, in order.
  const std::vector<std::string>& Pictures() const;
  // The Qt platform in use ("offscreen", "xcb"...).
  std::string Platform() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

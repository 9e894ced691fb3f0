// The headless front end: every screen lives in the runtime's memory, is
// drawn as text on request (render.h), and takes its input from the
// scripted user (scripted.h) straight through the runtime.
#pragma once

#include "platform/base/export.h"
#include "platform/forms/headless/scripted.h"

class KVT_EXPORT KVTHeadlessBackend : public KVTScriptedUser {
 public:
  KVTHeadlessBackend();
  ~KVTHeadlessBackend() override;
};

// The headless front end: the scripted user with nothing drawn.
#include "platform/forms/headless/headless.h"

KVTHeadlessBackend::KVTHeadlessBackend() = default;

KVTHeadlessBackend::~KVTHeadlessBackend() = default;

// The preview window ("View Window") on the desktop: each document previewed
// opens in a window of its own, its text in a fixed-pitch font, beside the
// till, which goes on.
#pragma once

#include "platform/base/export.h"

class QWidget;

// Installs the window as the runtime's preview window (KVTSetPreviewWindow);
// the windows are owned by `parent`.
KVT_EXPORT void KVTInstallQtPreviewWindow(QWidget* parent);

// The preview window ("View Window"): a document shown on screen instead of
// being printed, as its text in a fixed-pitch font.
//
// Every document previewed is kept in order (for the tests and the scripts'
// transcripts) and handed to the front end's preview window when one is
// installed; without one it is only kept. The preview does not wait for the
// user: the till goes on while it is shown.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/win/window.h"

struct KVTPreviewDocument {
  std::string title;     // "Receipt", "Invoice", ...
  std::string text;      // lines of text, '\n' between them
  std::string pdf = {};  // the same as PDF pages for a page document (an invoice), else empty
};

// Shows the document (user-interface thread).
KVT_EXPORT void KVTShowPreview(HWND owner, const KVTPreviewDocument& document);

// The front end's preview window; empty: none.
using KVTPreviewWindow = std::function<void(HWND owner, const KVTPreviewDocument&)>;
KVT_EXPORT void KVTSetPreviewWindow(KVTPreviewWindow window);

// The documents previewed since the last clear, oldest first.
KVT_EXPORT const std::vector<KVTPreviewDocument>& KVTPreviewedDocuments();
KVT_EXPORT void KVTClearPreviewedDocuments();

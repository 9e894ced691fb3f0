// The preview window's documents and the front end's window.
#include "platform/forms/preview.h"

namespace {

KVTPreviewWindow& Window() {
  static KVTPreviewWindow window;
  return window;
}

std::vector<KVTPreviewDocument>& Shown() {
  static std::vector<KVTPreviewDocument> shown;
  return shown;
}

}  // namespace

void KVTShowPreview(HWND owner, const KVTPreviewDocument& document) {
  Shown().push_back(document);
  if (Window()) Window()(owner, document);
}

void KVTSetPreviewWindow(KVTPreviewWindow window) {
  Window() = std::move(window);
}

const std::vector<KVTPreviewDocument>& KVTPreviewedDocuments() {
  return Shown();
}

void KVTClearPreviewedDocuments() {
  Shown().clear();
}

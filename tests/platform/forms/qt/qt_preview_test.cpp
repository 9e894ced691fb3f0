// The desktop's preview window: a document previewed opens in a window of
// its own, titled by the document, with its text, and the caller goes on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QWidget>

#include "platform/forms/preview.h"
#include "platform/forms/qt/qtpreview.h"
#include "tests/platform/forms/qt/qt_fixture.h"

namespace {

TEST(QtPreview, EachDocumentOpensAWindowWithItsText) {
  QWidget parent;
  KVTInstallQtPreviewWindow(&parent);
  KVTClearPreviewedDocuments();
  KVTShowPreview(nullptr, {"Receipt", "Prairie Farm Supply\nSale 1001"});
  KVTShowPreview(nullptr, {"Invoice", "INVOICE"});
  QApplication::processEvents();
  auto windows = parent.findChildren<QDialog*>();
  ASSERT_EQ(windows.size(), 2);
  EXPECT_EQ(windows[0]->windowTitle(), "Print Preview - Receipt");
  EXPECT_TRUE(windows[0]->isVisible());
  auto* text = windows[0]->findChild<QPlainTextEdit*>();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->toPlainText(), "Prairie Farm Supply\nSale 1001");
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_EQ(KVTPreviewedDocuments().size(), 2u);
  KVTSetPreviewWindow({});
  KVTClearPreviewedDocuments();
}

}  // namespace

KVT_QT_TEST_MAIN()

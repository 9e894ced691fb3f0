// The signature pad on the Qt front end: a stroke drawn with the mouse is
// kept beside the sale as a picture of the pad's size, and the pad closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/forms/forms.h"
#include "platform/forms/qt/formview.h"
#include "platform/forms/qt/qtbackend.h"
#include "suite/kvtdn/kvtdn.h"
#include "tests/platform/forms/qt/qt_fixture.h"

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButtons held) {
  QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

TEST(SignaturePad, AStrokeDrawnWithTheMouseIsKeptAsAPictureBesideTheSale) {
  std::filesystem::remove_all("POSSign");
  KVTQtBackend qt;
  qt.Install();
  HWND host = KVTCreateMDIHost("Host");
  bool open = false;
  QTimer::singleShot(0, [&] {
    ASSERT_FALSE(KVTForms::Instance().ModalDialogs().empty());
    PVDialog* pad = KVTForms::Instance().ModalDialogs().back();
    open = pad->Caption() == "Kovatel Point of Sale Signature Pad";
    KVTFormView* view = qt.ViewOf(pad);
    QWidget* drawing = view->WidgetForId(102);
    ASSERT_NE(drawing, nullptr);
    const double w = drawing->width(), h = drawing->height();
    Mouse(drawing, QEvent::MouseButtonPress, {w * 0.1, h * 0.5}, Qt::LeftButton);
    for (int i = 1; i <= 8; ++i)
      Mouse(drawing, QEvent::MouseMove, {w * (0.1 + 0.1 * i), h * (i % 2 ? 0.2 : 0.8)},
            Qt::LeftButton);
    Mouse(drawing, QEvent::MouseButtonRelease, {w * 0.9, h * 0.5}, Qt::NoButton);
    dynamic_cast<QPushButton*>(view->WidgetForId(IDOK))->click();
  });
  LoadDotNetWindowWithData("KVSignaturePad.DLL", "KVSignaturePad.CaptureSignature", host,
                           "L77,1042,MAIN,1");
  EXPECT_TRUE(open);
  EXPECT_TRUE(KVTForms::Instance().ModalDialogs().empty()) << "the pad closed";
  QImage picture("POSSign/L77.png");
  ASSERT_FALSE(picture.isNull()) << "no picture beside the sale";
  EXPECT_EQ(picture.size(), QSize(480, 96));
  int inked = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) inked += qGray(picture.pixel(x, y)) < 128;
  EXPECT_GT(inked, 300) << "the stroke crosses the pad";
  EXPECT_EQ(qGray(picture.pixel(2, 2)), 255) << "away from the stroke the pad is blank";
  std::ifstream sig("POSSign/L77.sig");
  std::string data, mark;
  std::getline(sig, data);
  std::getline(sig, mark);
  EXPECT_EQ(data, "L77,1042,MAIN,1");
  EXPECT_EQ(mark, "L77.png");
  KVTForms::Instance().CloseAll();
  DestroyWindow(host);
  std::filesystem::remove_all("POSSign");
}

}  // namespace

KVT_QT_TEST_MAIN()

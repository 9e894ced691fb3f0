// The report module's PDF pages, drawn with QPdfWriter.
#include "suite/kvtposr/pdf/pdf.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <algorithm>
#include <clocale>
#include <mutex>
#include <vector>

namespace {

// The widths the documents are made for: the receipt's 40 columns at the
// least, so that a short document is not blown up.
constexpr int kMinColumns = 40;
constexpr double kMaxPoints = 10.0;

bool OffscreenPluginInstalled() {
  QStringList folders = QCoreApplication::libraryPaths();
  QString own = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
  QStringList places;
  if (!own.isEmpty()) places << own;
  for (const QString& f : folders) places << f + "/platforms";
  for (const QString& place : places)
    if (!QDir(place).entryList({"*qoffscreen*"}, QDir::Files).isEmpty()) return true;
  return false;
}

// The running graphical application, or a private one on the offscreen
// platform. Starting one takes the process's locale from the environment;
// the locale the till runs with is put back, so amounts keep their form.
bool GuiApplication(std::string* error) {
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  if (QCoreApplication* app = QCoreApplication::instance()) {
    if (qobject_cast<QGuiApplication*>(app)) return true;
    *error = "The process runs Qt without its graphical part, which PDF pages need.";
    return false;
  }
  if (!OffscreenPluginInstalled()) {
    *error = "Qt's offscreen platform plugin is not installed (libqoffscreen.so).";
    return false;
  }
  static int argc = 3;
  static char name[] = "kvtposr", option[] = "-platform", platform[] = "offscreen";
  static char* argv[] = {name, option, platform, nullptr};
  std::string locale = std::setlocale(LC_ALL, nullptr);
  new QGuiApplication(argc, argv);  // kept: Qt allows one per process
  std::setlocale(LC_ALL, locale.c_str());
  return true;
}

std::vector<QString> Lines(const std::string& text) {
  std::vector<QString> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(QString::fromStdString(line));
    start = end + 1;
  }
  return lines;
}

}  // namespace

namespace kvt::posr {

bool PdfDocument(const std::string& title, const std::string& text, std::string* pdf,
                 std::string* error) {
  if (!GuiApplication(error)) return false;
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setTitle(QString::fromStdString(title));
    writer.setCreator("kvtpos");
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(36, 36, 36, 36), QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&writer)) {
      *error = "The PDF writer could not start a page.";
      return false;
    }
    std::vector<QString> lines = Lines(text);
    int columns = kMinColumns;
    for (const QString& l : lines) columns = std::max<int>(columns, l.size());

    QFont font("DejaVu Sans Mono");
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(kMaxPoints);
    const QRect page = painter.viewport();
    double advance = QFontMetricsF(font, &writer).horizontalAdvance(QString(columns, 'M'));
    if (advance > page.width()) font.setPointSizeF(kMaxPoints * page.width() / advance);
    painter.setFont(font);
    QFontMetricsF metrics(font, &writer);
    const double step = metrics.lineSpacing();
    double y = metrics.ascent();
    for (const QString& line : lines) {
      if (y + metrics.descent() > page.height()) {
        writer.newPage();
        y = metrics.ascent();
      }
      painter.drawText(QPointF(0, y), line);
      y += step;
    }
    painter.end();
  }
  *pdf = buffer.data().toStdString();
  if (pdf->rfind("%PDF", 0) != 0) {
    *error = "The PDF writer produced no document.";
    return false;
  }
  return true;
}

}  // namespace kvt::posr

// The preview window on the desktop.
#include "platform/forms/qt/qtpreview.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "platform/forms/preview.h"

void KVTInstallQtPreviewWindow(QWidget* parent) {
  KVTSetPreviewWindow([parent](HWND, const KVTPreviewDocument& document) {
    auto* window = new QDialog(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromStdString("Print Preview - " + document.title));
    auto* text = new QPlainTextEdit(QString::fromStdString(document.text), window);
    text->setReadOnly(true);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(text);
    layout->addWidget(buttons);
    QFontMetrics metrics(text->font());
    window->resize(metrics.horizontalAdvance(QString(44, 'M')), 560);
    window->show();
  });
}

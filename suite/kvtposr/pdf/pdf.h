// A document of the report module laid out as PDF pages (the invoice, and
// any document sent to a printer that takes no control codes): its lines as
// they are, in a fixed-pitch font sized so the widest line fits the page,
// a new page when one is full.
//
// Qt's PDF writer does the work and needs a graphical Qt application: the
// one running is used; without one, a private one is started on the
// offscreen platform (no display needed) and kept to the end of the process.
#pragma once

#include <string>

namespace kvt::posr {

// True with the PDF's bytes in *pdf; false with the reason in *error.
bool PdfDocument(const std::string& title, const std::string& text, std::string* pdf,
                 std::string* error);

}  // namespace kvt::posr

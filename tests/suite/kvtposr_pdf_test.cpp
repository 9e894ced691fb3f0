// The report module's PDF pages, made in a process with no display and no
// Qt application of its own (CTest runs it with a platform that cannot
// start here): every line can be read back from the PDF, the widest line
// whole, a long document on several pages, and the till's locale is kept.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <string>

#include "suite/kvtposr/pdf/pdf.h"

namespace {

// pdftotext's reading of the PDF, lines kept; with `info`, pdfinfo's.
std::string Read(const std::string& pdf, bool info = false) {
  std::ofstream("page.pdf", std::ios::binary) << pdf;
  std::string command = info ? "pdfinfo page.pdf" : "pdftotext -layout page.pdf -";
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

TEST(ReportPdf, EveryLineIsOnThePagesInAFontThatFitsIt) {
  ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "run without a display";
  std::string wide = "Sold to: Dale Ostrander (C100)" + std::string(90, '.') + "END";
  std::string many;
  for (int i = 1; i <= 150; ++i) many += "Line " + std::to_string(i) + "\n";
  struct Case {
    const char* name;
    std::string text;
    std::string pages;
    std::vector<std::string> read;
  };
  const Case cases[] = {
      {"an invoice",
       "INVOICE   No. 1001\n\n  Total:      39.50\n",
       "Pages:           1",
       {"INVOICE   No. 1001", "Total:      39.50"}},
      {"a line wider than the page", wide + "\n", "Pages:           1", {wide}},
      {"a long document", many, "Pages:           3", {"Line 1\n", "Line 150"}},
  };
  for (const Case& c : cases) {
    std::string pdf, error;
    ASSERT_TRUE(kvt::posr::PdfDocument("Invoice", c.text, &pdf, &error)) << c.name << error;
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u) << c.name;
    std::string text = Read(pdf);
    for (const std::string& part : c.read)
      EXPECT_NE(text.find(part), std::string::npos) << c.name << ": " << part << "\n" << text;
    EXPECT_NE(Read(pdf, true).find(c.pages), std::string::npos) << c.name << Read(pdf, true);
  }
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");  // amounts keep their decimal point
}

}  // namespace

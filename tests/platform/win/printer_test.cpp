// Printers through libcups: a printing system that does not answer is a
// failure with its text, never an empty list; a capture takes the jobs.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/win/printer.h"

namespace {

TEST(Printers, APrintingSystemThatDoesNotAnswerIsAFailure) {
  ::setenv("CUPS_SERVER", "127.0.0.1:1", 1);  // nothing listens there
  std::vector<std::string> names{"kept"};
  std::string error;
  EXPECT_FALSE(KVTListPrinters(&names, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(names, std::vector<std::string>{"kept"});
  error.clear();
  EXPECT_FALSE(KVTPrint({"Receipts", "Receipt", "text/plain", "hello"}, &error));
  EXPECT_FALSE(error.empty());
}

TEST(Printers, ACaptureTakesTheJobsWhileItIsSet) {
  std::vector<KVTPrintJob> jobs;
  KVTSetPrintCapture([&](const KVTPrintJob& job, std::string* error) {
    jobs.push_back(job);
    *error = "refused";
    return job.printer != "Jammed";
  });
  std::string error;
  EXPECT_TRUE(KVTPrint({"Receipts", "Receipt", "application/vnd.cups-raw", "\x1B@"}, &error));
  EXPECT_FALSE(KVTPrint({"Jammed", "Receipt", "text/plain", "x"}, &error));
  EXPECT_EQ(error, "refused");
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].data, "\x1B@");
  KVTSetPrintCapture({});
}

}  // namespace

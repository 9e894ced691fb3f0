// A till for the reliability runs: opens the database named by a settings
// file and saves three-line taxed sales with the sale writer, one after the
// other, until it is killed or has saved COUNT. A sale that was not saved
// stays "on the screen" (its header keeps its number and link) and is saved
// again until it is. Each outcome is printed and flushed as the cashier
// would be told it:
//   SAVED link      the till said the sale was saved
//   NOTSAVED link   the till said it was not (the sale is tried again)
//   UNKNOWN link    the till said it could not tell yet (tried again)
//   AWAY -          refused before the sale had a link (tried again)
//   till_worker INI INSTANCE COUNT
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/forms/headless/headless.h"
#include "sale/writer.h"
#include "shell/globals.h"
#include "suite/host/host.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s INI INSTANCE COUNT\n", argv[0]);
    return 2;
  }
  if (!KVTOpenConnectionOne(argv[1])) {
    std::fprintf(stderr, "cannot open the database: %s\n", KVTLastSqlError());
    return 1;
  }
  setvbuf(stdout, nullptr, _IONBF, 0);
  KVTHeadlessBackend user;
  user.Install();
  KVTResetModuleState();
  KVTSetSetting(CFG_USEINVENTORY, "T");
  KVTSetSetting(CFG_UPDATEQOH, "T");
  KVTSetSetting(CFG_USECSTORE, "F");
  KVTHost host;
  kvt::sale::SaleWriter writer(host.MainWindow());
  const std::string id = argv[2];
  const int count = std::atoi(argv[3]);
  for (int saved = 0; saved < count;) {
    kvt::sale::Header h{"S", "C",   "",         "",         0,          "MAIN", "1",
                        "1", "100", "03152024", "03152024", "10:00:00", {}};
    h.texts.total = "12.42";
    h.texts.taxAmt = "0.42";
    std::vector<kvt::sale::Line> lines;
    std::vector<kvt::sale::TaxLine> taxes;
    for (int n = 1; n <= 3; ++n) {
      double recno = 0;
      while ((recno = NextNum(1, "KVTPOS2", 100, 0)) <= 0) {  // the database is away
        std::printf("AWAY -\n");
        usleep(20000);
      }
      std::string link = std::to_string(static_cast<long>(recno));
      lines.push_back(kvt::sale::LineFromCells({"A" + std::to_string(n), "", std::to_string(n),
                                                "2.00", std::to_string(2 * n), "N", "", "0", link,
                                                "", "Y", "01", "HDWR"}));
      taxes.push_back({"ST", "7.000", "0.14", link});
    }
    for (;;) {
      bool ok = writer.Save(h, lines, taxes, id);
      std::string told;
      for (const kvt::sale::Notice& n : writer.TakeNotices()) told += n.text;
      const char* what = ok                                                ? "SAVED"
                         : told.find("not known yet") != std::string::npos ? "UNKNOWN"
                                                                           : "NOTSAVED";
      // A sale refused before it had a link is told as the database away.
      std::printf("%s %s\n", h.invoiceLnk.empty() ? "AWAY" : what,
                  h.invoiceLnk.empty() ? "-" : h.invoiceLnk.c_str());
      if (ok) break;
      usleep(20000);
    }
    ++saved;
  }
  KVTCloseConnectionOne();
  return 0;
}

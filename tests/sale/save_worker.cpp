// A till for the concurrent saving tests: opens the database named by a
// settings file, waits until the start file exists (so all tills start at
// once), then saves `count` three-line taxed sales with the sale writer
// under the given instance id and prints "number link" of each. With
// "numbers" it only takes `count` sale numbers and links, each on its own
// (outside any sale's transaction), and prints them the same way.
//   save_worker INI INSTANCE COUNT STARTFILE sales|numbers
// Exit code 0 when every sale was saved (every number taken) without a
// notice, 1 otherwise.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/forms/headless/headless.h"
#include "sale/writer.h"
#include "shell/globals.h"
#include "suite/host/host.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s INI INSTANCE COUNT STARTFILE sales|numbers\n", argv[0]);
    return 2;
  }
  if (!KVTOpenConnectionOne(argv[1])) {
    std::fprintf(stderr, "cannot open the database: %s\n", KVTLastSqlError());
    return 1;
  }
  KVTHeadlessBackend user;
  user.Install();
  KVTResetModuleState();
  KVTSetSetting(CFG_USEINVENTORY, "T");
  KVTSetSetting(CFG_UPDATEQOH, "T");
  KVTSetSetting(CFG_USECSTORE, "F");
  int failures = 0;
  {
    KVTHost host;
    kvt::sale::SaleWriter writer(host.MainWindow());
    const std::string id = argv[2];
    int count = std::atoi(argv[3]);
    for (int waited = 0; access(argv[4], F_OK) != 0; ++waited) {
      if (waited > 20000) return 1;  // 20 s without a start
      usleep(1000);
    }
    const bool numbersOnly = std::string(argv[5]) == "numbers";
    for (int i = 0; numbersOnly && i < count; ++i) {
      std::string number = writer.NextSaleNumber("MAIN");
      std::string link = number.empty() ? "" : writer.NextSaleLink(id);
      if (link.empty()) {
        std::fprintf(stderr, "%s\n", writer.error().c_str());
        ++failures;
        continue;
      }
      std::printf("%s %s\n", number.c_str(), link.c_str());
    }
    for (int i = 0; !numbersOnly && i < count; ++i) {
      kvt::sale::Header h{"S", "C",   "",         "",         0,  "MAIN", "1",
                          "1", "100", "03152024", "03152024", "", {}};
      h.texts.taxAmt = "0.42";
      std::vector<kvt::sale::Line> lines;
      std::vector<kvt::sale::TaxLine> taxes;
      for (int n = 1; n <= 3; ++n) {  // item An, n at 2.00, taxable, category HDWR
        std::string link = std::to_string(static_cast<long>(NextNum(1, "KVTPOS2", 100, 0)));
        lines.push_back(kvt::sale::LineFromCells({"A" + std::to_string(n), "", std::to_string(n),
                                                  "2.00", std::to_string(2 * n), "N", "", "0", link,
                                                  "", "Y", "01", "HDWR"}));
        taxes.push_back({"ST", "7.000", "0.14", link});
      }
      if (!writer.Save(h, lines, taxes, id)) ++failures;
      for (const kvt::sale::Notice& n : writer.TakeNotices()) {
        std::fprintf(stderr, "%s\n", n.text.c_str());
        ++failures;
      }
      if (failures == 0) std::printf("%s %s\n", h.invoiceNum.c_str(), h.invoiceLnk.c_str());
    }
  }
  for (const KVTShownMessage& m : user.Messages()) std::fprintf(stderr, "%s\n", m.text.c_str());
  KVTCloseConnectionOne();
  return failures == 0 && user.Messages().empty() ? 0 : 1;
}

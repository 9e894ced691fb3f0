// A till for the concurrent saving tests: opens the database named by a
// settings file, logs a sale screen in with the given instance id, waits
// until the start file exists (so all tills start at once), then saves
// `count` three-line taxed sales and prints "number link" of each. With
// "numbers" it only takes `count` sale numbers and links, each on its own
// (outside any sale's transaction), and prints them the same way.
//   save_worker INI INSTANCE COUNT STARTFILE [numbers]
// Exit code 0 when every sale was saved (every number taken) without a
// message, 1 otherwise.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/base/kvtbase.h"
#include "platform/forms/headless/headless.h"
#include "shell/globals.h"
#include "suite/host/host.h"
#include "tests/sale/sale_lines.h"

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: %s INI INSTANCE COUNT STARTFILE [numbers]\n", argv[0]);
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
    PVpos1Dlg dlg(host.MainWindow());
    if (!dlg.Create()) return 1;
    LogInScreen(dlg, "MAIN", "1", "1", "100", "03152024");
    dlg.sInstanceID = argv[2];
    int count = std::atoi(argv[3]);
    for (int waited = 0; access(argv[4], F_OK) != 0; ++waited) {
      if (waited > 20000) return 1;  // 20 s without a start
      usleep(1000);
    }
    const bool numbersOnly = argc == 6 && std::string(argv[5]) == "numbers";
    for (int i = 0; numbersOnly && i < count; ++i) {
      std::string number = dlg.GetNextSaleNum();
      std::string link = dlg.GetNextSaleLink();
      if (number.empty() || link.empty()) {
        std::fprintf(stderr, "%s\n", dlg.sNumberingError.c_str());
        ++failures;
        continue;
      }
      std::printf("%s %s\n", number.c_str(), link.c_str());
    }
    for (int i = 0; !numbersOnly && i < count; ++i) {
      StartNewSale(dlg);
      const char* items[][3] = {{"A1", "1", "2.00"}, {"A2", "2", "4.00"}, {"A3", "3", "6.00"}};
      for (auto& item : items) {
        std::string link = AddSaleLine(
            dlg, {item[0], "", item[1], "2.00", item[2], "N", "Y", "", "", "01", "HDWR"});
        AddTaxRow(dlg, {"ST", "7.000", "0.140000", link});
      }
      PVpos1Dlg::SaleTexts texts;
      texts.taxAmt = "0.42";
      texts.total = "12.42";
      if (!dlg.SaveOrder("S", "C", texts)) {
        ++failures;
        continue;
      }
      std::printf("%s %s\n", dlg.Data.INVOICENUM, dlg.Data.INVOICELNK);
    }
  }
  for (const KVTShownMessage& m : user.Messages()) std::fprintf(stderr, "%s\n", m.text.c_str());
  KVTCloseConnectionOne();
  return failures == 0 && user.Messages().empty() ? 0 : 1;
}

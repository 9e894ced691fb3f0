// Importing one till's sales file: the options asked before a repeated
// import (the re-transfer options popup over an import-sales screen), and
// the import itself through the transfer module.
#include <string>

#include "backoffice/chgopts.h"
#include "backoffice/exchange.h"
#include "backoffice/exchangecalls.h"
#include "shell/imports.h"

bool KVTAskReimportOptions(HWND parent, KVTImportOptions* options) {
  PVchgoptsDlg popup(parent);
  popup.SetTranSalesCount("Import");
  popup.SetTranStore(options->store.c_str());
  popup.SetTranDate(options->date.c_str());
  popup.SetTranTillRef(options->tillRef.c_str());
  popup.SetTranShift(options->shift.c_str());
  popup.SetTranST(options->trnST.c_str());
  popup.SetTranPB(options->trnPB.c_str());
  popup.SetTranCST(options->trnCST.c_str());
  popup.Execute();
  if (!popup.bDoTransfer) return false;
  options->trnST = popup.szTRNST;
  options->trnPB = popup.szTRNPB;
  options->trnCST = popup.szTRNCST;
  options->batch = popup.szBatch;
  return true;
}

bool bDoKVTPOSImportSalesInformation(HWND parent, const std::string& fileName,
                                     const KVTImportOptions& options, bool reimport,
                                     std::string* error) {
  std::string result;
  // The batch chosen in the popup does not travel: the module posts by the
  // till's own settings.
  return KVTCallTransferModule(parent, "KVT POS Import Sales", "DoKVTPOSAcquireSales",
                               KVTExchange::SalesImportData(fileName, reimport, options.trnST,
                                                            options.trnPB, options.trnCST),
                               &result, error);
}

// The transfer of sales to accounting without screens: the batches a
// transfer may go to, the texts the popups and the transfer screen show,
// the statement that lists the groups of sales, whether a group's till
// shift is still logged in, the data a group is handed over with, and the
// result message. Every read answers found, not found or failed.
#pragma once

#include <string>
#include <vector>

#include "platform/sql/query.h"

// One row of the transfer screen.
struct KVTTransferGroup {
  std::string store, date, till, shift;  // date MM/DD/YYYY; shift "" unless shown
  std::string count;
};

class KVTTransfers {
 public:
  // The batch offered first: the only batch of KVTFL23, else "". False with
  // *error when the batches could not be read.
  static bool DefaultBatch(std::string* batch, std::string* error);
  // Found::Yes when the batch exists.
  static kvt::sql::Result FindBatch(const std::string& batch);

  // "Transferring %s sales for:" with the count; "Transferring sales for:"
  // for a re-import (the count text "Import").
  static std::string Heading(const std::string& count);
  // The shift as the popups show it: "all shifts" when empty.
  static std::string ShiftText(const std::string& shift);

  // The loading statement of the transfer screen.
  static std::string LoadingStatement(bool retransfer, bool showShifts);
  // The groups it lists; false with *error when they could not be read.
  static bool LoadGroups(bool retransfer, bool showShifts, std::vector<KVTTransferGroup>* groups,
                         std::string* error);
  // Whether the group's till shift is still logged in (KVTPOS9).
  static kvt::sql::Result ActiveShift(const KVTTransferGroup& group, bool showShifts);
  // The till's transfer targets (TRNST, TRNPB, TRNCST of KVTCOM14).
  static kvt::sql::Result TillTargets(const std::string& store, const std::string& till);

  // MM/DD/YYYY -> MMDDYYYY.
  static std::string CompactDate(const std::string& date);
  // The data of "DoKVTPOSDirectTransfer": keys 01 to 09, each value
  // followed by a tab.
  static std::string DirectTransferData(const std::string& dateMMDDYYYY, const std::string& store,
                                        const std::string& shift, const std::string& till,
                                        const std::string& batch, bool retransfer,
                                        const std::string& trnST, const std::string& trnPB,
                                        const std::string& trnCST);
  // The message after the action loop: "transferred" on a direct
  // connection, "exported" otherwise.
  static std::string ResultMessage(int successes, int failures, bool direct);
};

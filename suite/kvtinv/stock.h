// The inventory module stand-in ("KVTINV.DLL"), its stock side: the requests
// a till sends while it saves a sale. Each request runs on the caller's
// connection (connection 1 of the process), inside the caller's transaction,
// so stock moved for a sale that is then cancelled moves back with it.
//
// Requests (`request` fields separated by tabs; numbers as "%.5f" text):
//   "GETVERSION"          the version of these requests (1); other arguments unused
//   "LOCKLOCATION"        item, location: the item's row at the location is
//                         locked until the transaction ends; fails when the
//                         item is not stocked there. While the caller's changes
//                         are queued (KVTChangesQueued) the row is locked, and
//                         checked, by the statement of the unlock instead
//   "UPDATEINVENTORY"     item, location, quantity, three further quantities,
//                         cost, value, package, program, source link, source
//                         reference, date: quantity on hand (KVTINV2.QTYONHAND)
//                         is to move by the quantity; the item must be locked
//   "UPDATELASTSALEDATE"  item, location, date (MMDDYYYY or MM/DD/YYYY):
//                         KVTINV2.LASTSALE is to be the date; the item must
//                         be locked
//   "UNLOCKLOCATION"      item, location: writes what the requests under the
//                         lock asked for, in one statement, and ends the lock
// Result 1 on success, 0 on failure with the reason in `errorBuf` (cut to
// `errorLen`). `reply` and `replyLen` are not used.
#pragma once

#include "platform/base/export.h"
#include "platform/sql/kvtsql.h"
#include "platform/win/window.h"

KVT_EXTERN_C int SendDLLMessageB(HWND parent, KVTConnection* conn, const char* command,
                                 const char* request, char* reply, unsigned replyLen,
                                 char* errorBuf, unsigned errorLen);

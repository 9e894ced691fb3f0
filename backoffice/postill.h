// Setting up a dedicated till on a back-office computer: the folder
// "POSTILL" under the working directory gets the computer configuration
// file, settings that reach the same database, and a copy of the suite
// settings that starts the till program by itself. The operator is then told
// which shortcut starts it.
#pragma once

#include "platform/base/export.h"
#include "platform/win/window.h"

// Runs in the working directory. Stops at the first step that fails, with
// its message (caption PROGRAM_NAME); what was written before stays. True
// when the till folder is complete.
//
// KVTSQL.INI of the till, sections "KVTSQL Connection One" to "Three":
//  - a server database ("PGSQL", "MSSQL", "MYSQL"): DataPath empty and the
//    back office's MapODBC, Translate, UserName, Password, Server, Database
//    (and Port, ConnInfo, Schema, which a PostgreSQL connection may use);
//  - a file database: DataPath the back office's database file as a full
//    path (the working directory when its settings name none), the others
//    empty.
bool CreatePOSTill(HWND hWnd);

// The menu entry: CreatePOSTill, and "This process was not successful due
// to errors." when it fails. Returns 0.
KVT_EXTERN_C int CreatePOSTillIcon(HWND hWnd);

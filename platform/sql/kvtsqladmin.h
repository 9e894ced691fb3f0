// What the schema tool, the test fixtures and the benchmarks need of the
// database beyond the module's own calls: table definitions in each
// database's terms, a look at what a database holds, and injected faults.
// The module itself does not use this header.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/sql/kvtsql.h"

// The type policy of the schema: text for codes, flags, amounts and
// quantities the module treats as text; double precision for record numbers;
// integers where statements compare with bare numbers; dates where the
// module binds dates.
enum class KVTColumnType { Text, Double, Integer, Date };

struct KVTColumnDef {
  std::string name;
  KVTColumnType type = KVTColumnType::Text;
};

// The type of a column as the open connection's database spells it, with
// the default the schema gives it (text '' and integer 0, so rows inserted
// with a few columns read back as empty, not NULL). PostgreSQL text compares
// byte by byte (COLLATE "C"), as SQLite does.
KVT_EXPORT std::string KVTColumnTypeSql(KVTColumnType type);
KVT_EXPORT const char* KVTColumnTypeName(KVTColumnType type);  // "text", "double", ...
// CREATE TABLE for the open connection; `primaryKey` may be empty.
KVT_EXPORT std::string KVTCreateTableSql(const std::string& table,
                                         const std::vector<KVTColumnDef>& columns,
                                         const std::string& primaryKey = "");

// Several statements without parameters, run as one text (schema scripts).
KVT_EXPORT bool KVTRunSqlScript(const char* sql);
KVT_EXPORT bool KVTTableExists(const char* table);
KVT_EXPORT bool KVTIndexExists(const char* index);
// The columns of a table as the database has them; false when missing.
KVT_EXPORT bool KVTDescribeTable(const char* table, std::vector<KVTColumnDef>* columns);
// Creates NUMVAL and STR where the database keeps functions in the schema
// (PostgreSQL); true on SQLite, where they are part of every connection.
KVT_EXPORT bool KVTInstallSqlFunctions();
// True when NUMVAL, STR, LEFT and the date literal answer as the module
// expects on the open connection.
KVT_EXPORT bool KVTSqlFunctionsWork();

// The database's own check of its storage: SQLite's "PRAGMA
// integrity_check" (every page and index), on PostgreSQL a read of every
// table of the schema. The problems found; false (KVTLastSqlError) when the
// check could not run, which on a damaged file is a problem too.
KVT_EXPORT bool KVTCheckIntegrity(std::vector<std::string>* problems);

// Faults for tests of failure paths: the next `count` statements whose text
// contains `containing` (without regard to case and to the dialect's
// rewrites: name tables, columns and "?" as the module writes them) fail as a
// database error would, inside a transaction cancelling it; or the next
// outermost commit fails and rolls back. The first call puts a decorator
// around connection 1's backend (faults.cpp); it stays, across a reopen of
// the connection, until KVTSqlClearFaults takes it off with what is pending.
// A later KVTSqlFailStatements replaces the statement fault asked before.
KVT_EXPORT void KVTSqlFailStatements(const char* containing, int count = 1);
KVT_EXPORT void KVTSqlFailNextCommit();
// The connection is lost at the next outermost commit, as when a server
// goes down then: with `kept` after the work was committed (only the answer
// is lost), without it after it was rolled back. Or it is lost at the next
// statement. Either way the session stays lost, so connection 1 has to open
// a new one (the decorator goes around that one too). With `stayAway` the
// database then stays away as KVTSqlDatabaseAway(true) has it.
KVT_EXPORT void KVTSqlLoseConnectionAtCommit(bool kept, bool stayAway = false);
KVT_EXPORT void KVTSqlLoseConnection();
// While `away`, every connection is lost at its first use, a new one too:
// the database cannot be reached until KVTSqlDatabaseAway(false).
KVT_EXPORT void KVTSqlDatabaseAway(bool away);
KVT_EXPORT void KVTSqlClearFaults();

// A record of what connection 1 sends to its database from now on: each
// statement as the database gets it (in its dialect), and "BEGIN", "COMMIT"
// and "ROLLBACK", appended to *into, one entry a round trip on PostgreSQL
// except that statements sent in the round trip of the entry before them
// (a pipeline) begin with "+ ".
// Record numbers drawn on PostgreSQL's counter session are not in it.
// Null stops recording. It takes the place of any faults asked for.
KVT_EXPORT void KVTSqlTraceStatements(std::vector<std::string>* into);

// Record numbers from the counter table KVTNEXTNUM, handed out in blocks.
//
// A block is taken in one short transaction: the counter row is created when
// missing, then moved past both its old value and the table's highest RECNO,
// and the numbers in between belong to this process. On PostgreSQL the
// counter has its own session, so a sale's transaction never holds the
// counter row; on SQLite the writer lock orders everything, and a block taken
// inside a sale is dropped again when that sale is cancelled.
#include <cctype>
#include <map>

#include "platform/sql/connection.h"
#include "platform/sql/kvtsql.h"

namespace kvt::sql {
namespace {

struct Block {
  double next = 0;
  double end = 0;
  std::uint64_t generation = 0;
  std::uint64_t serial = 0;
};

std::map<std::string, Block>& Blocks() {
  static std::map<std::string, Block> blocks;
  return blocks;
}
std::uint64_t g_serial = 0;

// Tables seen to exist, with the generation of connection 1 they were seen
// on: looking one up in the catalogue costs more than the rest of a block.
std::map<std::string, std::uint64_t>& TablesSeen() {
  static std::map<std::string, std::uint64_t> seen;
  return seen;
}

bool TableExists(Backend* b, const std::string& table, std::uint64_t generation) {
  auto seen = TablesSeen().find(table);
  if (seen != TablesSeen().end() && seen->second == generation) return true;
  if (!b->TableExists(table)) return false;
  TablesSeen()[table] = generation;
  return true;
}

bool RunCounter(Backend* b, DbKind kind, const std::string& sql,
                const std::vector<BoundValue>& params, ResultData* out, std::string* error) {
  Translation t;
  if (!TranslateSql(kind, sql, &t, error)) return false;
  return b->RunOnce(t.sql, params, true, out, error);
}

BoundValue Text(const std::string& s) {
  return {false, s, 0};
}
BoundValue Number(double d) {
  return {false, FormatDouble(d), 2};
}

// Moves the counter of `table` by `block`; *start is the first number of the
// block. Runs inside a transaction on `b`.
bool TakeBlock(Backend* b, DbKind kind, std::uint64_t generation, const std::string& table,
               int block, double* start, std::string* error) {
  ResultData r;
  if (!RunCounter(b, kind,
                  "INSERT INTO KVTNEXTNUM (TABLENAME, NEXTNUM) VALUES (?, 1) "
                  "ON CONFLICT (TABLENAME) DO NOTHING",
                  {Text(table)}, &r, error)) {
    if (!b->TableExists("KVTNEXTNUM"))
      *error = "the counter table KVTNEXTNUM is missing (kvtpos-db init creates it)";
    return false;
  }
  double above = 1;
  if (TableExists(b, table, generation)) {
    if (!RunCounter(b, kind, "SELECT MAX(RECNO) FROM " + table, {}, &r, error)) return false;
    if (!r.rows.empty() && !r.rows[0][0].empty()) above = NumVal(r.rows[0][0].c_str()) + 1;
  }
  if (!RunCounter(b, kind,
                  "UPDATE KVTNEXTNUM SET NEXTNUM = (CASE WHEN NEXTNUM > ? THEN NEXTNUM ELSE ? END) "
                  "+ ? WHERE TABLENAME = ? RETURNING NEXTNUM",
                  {Number(above), Number(above), Number(block), Text(table)}, &r, error))
    return false;
  if (r.rows.empty()) {
    *error = "the counter of " + table + " could not be moved";
    return false;
  }
  *start = NumVal(r.rows[0][0].c_str()) - block;
  return true;
}

double Fail(const std::string& error) {
  ConnectionOne::Get().SetLastError("NextNum: " + error);
  return 0;
}

}  // namespace
}  // namespace kvt::sql

double NextNum(HINSTANCE, int connectionNumber, const char* table, int block, int, int) {
  return NextNum(connectionNumber, table, block);
}

double NextNum(int connectionNumber, const char* table, int block, int) {
  using namespace kvt::sql;
  ConnectionOne& c = ConnectionOne::Get();
  if (connectionNumber != 1) return Fail("only connection 1 is served here");
  std::string name = table ? table : "";
  if (!IsSqlName(name)) return Fail("\"" + name + "\" is not a table name");
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (!c.IsOpen()) return Fail("connection 1 is not open");
  if (block < 1) block = 1;

  Block& cached = Blocks()[name];
  if (cached.generation == c.generation() && cached.next < cached.end) return cached.next++;

  std::string error;
  Backend* b = c.CounterBackend(&error);
  if (!b) return Fail(error);
  bool ownSession = b != c.backend();
  bool ownTransaction = ownSession || c.depth() == 0;
  double start = 0;
  bool ok;
  if (ownSession) {
    // A counter session the server dropped is opened again once: nothing of
    // a block is kept unless its commit answered.
    for (int attempt = 0; attempt < 2; ++attempt) {
      ok = b->Begin(&error) && TakeBlock(b, c.kind(), c.generation(), name, block, &start, &error);
      if (ok) {
        ok = b->Commit(&error);
      } else {
        std::string ignored;
        b->Rollback(&ignored);
      }
      if (ok || !b->Lost()) break;
      c.CounterLost();
      b = c.CounterBackend(&error);
      if (!b) break;
    }
  } else {
    // Changes queued before (and the begin of the unit) go first, so the
    // counter moves inside the unit and under its lock.
    if (c.pipeline() && !c.Flush(&error)) return Fail(error);
    ok = c.Run(
        [&](std::string* e) {
          if (ownTransaction && !c.Begin(e)) return false;
          bool taken = TakeBlock(b, c.kind(), c.generation(), name, block, &start, e);
          if (!ownTransaction) return taken;
          if (!taken) {
            std::string ignored;
            c.Cancel(&ignored);
            return false;
          }
          return c.Commit(e);
        },
        &error);
  }
  if (!ok) return Fail(error);

  std::uint64_t serial = ++g_serial;
  cached = Block{start, start + block, c.generation(), serial};
  if (!ownTransaction) {
    // The counter moved inside the caller's transaction: if that is cancelled
    // the counter moves back, so the block must not be used any more.
    c.OnRollback([name, serial] {
      Block& b = Blocks()[name];
      if (b.serial == serial) b = Block{};
    });
  }
  return cached.next++;
}

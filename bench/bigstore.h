// The demo store grown to 100,000 items, for the benchmarks of the till's
// hot paths: made once per database in a run, opened again for each
// benchmark, removed when the run ends (ForgetBigStores).
#pragma once

#include <string>

namespace kvt::bench {

enum class Target { Sqlite, Postgres };
inline constexpr int kBigStoreItems = 100000;

// Connection 1 on the grown store of `target` (SQLite, or the PostgreSQL
// server of KVT_PG); false with *why when it could not be made or opened.
bool OpenBigStore(Target target, std::string* why);
void ForgetBigStores();

}  // namespace kvt::bench

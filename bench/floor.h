// The database floor of a sale save: the rows of one ten-line sale (header,
// ten lines, ten tax rows) inserted in one transaction with prepared
// statements and nothing else. Every save benchmark is reported against it.
#pragma once

#include <benchmark/benchmark.h>

#include "platform/sql/kvtsql.h"

namespace kvt::bench {

// The insert statements of the floor, as the sale writer writes them.
extern const char kFloorHeaderSql[];
extern const char kFloorLineSql[];
extern const char kFloorTaxSql[];

// Prepares the three insert statements on `c`; false with c.LastError().
bool PrepareFloorSale(KVTConnection& c);
// Writes sale number `sale` (link: the number followed by `tag`) with
// record numbers after *recno; false (rolled back) with c.LastError().
bool SaveFloorSale(KVTConnection& c, long sale, double* recno, const char* tag = "A");

// The floor itself: one sale saved per iteration on connection 1 (already
// open). `sale` and `recno` carry on from run to run so rows never collide.
void MeasureFloorSales(benchmark::State& state, long& sale, double& recno, const char* tag = "A");

}  // namespace kvt::bench

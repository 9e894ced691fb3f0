// The till the screen benchmarks drive: logged in on store MAIN of the demo
// store grown to 100,000 items (OpenBigStore first), its sale window open
// with the payment tab, on the headless front end; and the samples' median
// and 99th percentile.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/forms/headless/headless.h"
#include "suite/host/host.h"

class PVpos1Dlg;
class PVpos2Dlg;
class Tbacktab;

namespace kvt::bench {

class Till {
 public:
  Till();
  ~Till();
  Till(const Till&) = delete;
  Till& operator=(const Till&) = delete;

  // The window opened (sale, tabs and pay are set).
  bool ok() const { return sale != nullptr; }
  // Keys `n` bulk items by reference, each followed by Enter, in the
  // benchmarks' order (every till goes on where it left off); not yet run.
  void KeyLines(int n);

 private:
  struct Fresh {
    Fresh();  // a fresh module state before the host comes up
  } fresh_;

 public:
  KVTHeadlessBackend user;
  KVTHost host;
  PVpos1Dlg* sale = nullptr;
  Tbacktab* tabs = nullptr;
  PVpos2Dlg* pay = nullptr;

 private:
  long next_ = 0;
};

// The reference of the i-th bulk item keyed: spread over the store.
std::string BulkRef(long i);

// Median and 99th percentile of the samples (microseconds) as counters
// p50_us and p99_us.
void ReportPercentiles(benchmark::State& state, std::vector<double>& us);

}  // namespace kvt::bench

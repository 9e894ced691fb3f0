// A console reporter that, after the runs, prints for each database how many
// things a second a run does and its ratio to a floor measured in the same
// run ("Run/SQLite" against "Floor/SQLite", real time).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kvt::bench {

class FloorRatioReporter : public benchmark::ConsoleReporter {
 public:
  // `title` heads the lines; `count` things (`what`) are done by each
  // iteration of `run` and of `floor`, which `floorName` describes.
  FloorRatioReporter(std::string title, std::string run, std::string floor, int count,
                     std::string what, std::string floorName)
      : title_(std::move(title)),
        run_(std::move(run)),
        floor_(std::move(floor)),
        count_(count),
        what_(std::move(what)),
        floorName_(std::move(floorName)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred && r.iterations > 0) {
        std::string name = r.benchmark_name();  // "Run/SQLite/real_time"
        seconds_[name.substr(0, name.find("/real_time"))] =
            r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
      }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%s:\n", title_.c_str());
    for (const char* db : {"SQLite", "PostgreSQL"}) {
      auto floor = seconds_.find(floor_ + "/" + db);
      auto run = seconds_.find(run_ + "/" + db);
      if (floor == seconds_.end() || run == seconds_.end()) continue;
      std::printf("  %-11s %8.0f %s/s, %7.2f x %s (%.3f s vs %.3f s)\n", db, count_ / run->second,
                  what_.c_str(), run->second / floor->second, floorName_.c_str(), run->second,
                  floor->second);
    }
  }

 private:
  std::string title_, run_, floor_;
  int count_;
  std::string what_, floorName_;
  std::map<std::string, double> seconds_;  // a run over every thing, by name
};

}  // namespace kvt::bench

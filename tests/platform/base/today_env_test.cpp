#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "tests/support/run.h"

namespace {

std::string ProgramFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string path(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
  return path.substr(0, path.rfind('/'));
}

// Runs the probe with `env` before it on the shell line; its printed date.
std::string ProbeToday(const std::string& env, const std::string& arg = "") {
  auto [code, out] = kvt::test::RunCommand("env -u KVT_TODAY " + env + " '" + ProgramFolder() +
                                           "/kvt_today_probe' " + arg);
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return code == 0 ? out : "exit " + std::to_string(code);
}

std::string SystemToday() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[16];
  std::strftime(buf, sizeof buf, "%m%d%Y", &tm);
  return buf;
}

TEST(TodayFromEnvironment, KvtTodayFixesTheDateInEveryForm) {
  // clang-format off
  struct Case { const char* env; const char* want; } cases[] = {  // null: the system's date
      {"KVT_TODAY=12/05/2026", "12052026"}, {"KVT_TODAY=12052026", "12052026"},
      {"KVT_TODAY=2026-12-05", "12052026"}, {"KVT_TODAY=' 02/29/2028 '", "02292028"},
      {"KVT_TODAY=02/30/2026", nullptr}, {"KVT_TODAY=tomorrow", nullptr}, {"KVT_TODAY=", nullptr},
      {"", nullptr},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::string before = SystemToday();
    std::string got = ProbeToday(c.env);
    if (c.want) {
      EXPECT_EQ(got, c.want) << c.env;
    } else {
      std::string after = SystemToday();  // the probe may run across midnight
      EXPECT_TRUE(got == before || got == after) << c.env << " gave " << got;
    }
  }
}

TEST(TodayFromEnvironment, SettingTheClockWinsOverTheEnvironment) {
  EXPECT_EQ(ProbeToday("KVT_TODAY=12/05/2026", "2027-01-31"), "01312027");
}

}  // namespace

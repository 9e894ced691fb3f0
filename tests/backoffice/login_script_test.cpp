// The login as the host runs it: kvtpos-script loads the module
// (libkvtpos.so), opens the database from its settings file and drives
// POSLogin with a till script, on both databases.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/testdb.h"

namespace {

struct Result {
  int rc = -1;
  std::string out;
};

Result RunScript(const std::string& script) {
  std::ofstream("login.kvts") << script;
  std::string cmd = std::string(KVTPOS_SCRIPT) + " --database '.\\KVTSQL.ini' login.kvts 2>&1";
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  while (std::size_t got = std::fread(buf, 1, sizeof buf, p)) r.out.append(buf, got);
  int status = pclose(p);
  r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class LoginScript : public kvt::test::DatabaseTest {};

TEST_P(LoginScript, AContinuedShiftOpensTheSaleWindow) {
  ASSERT_TRUE(db().temp().WriteIni("KVTSQL.ini"));
  std::remove("kvtlocal.ini");
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}, {"CHANGEDATE", "T"}}));
  ASSERT_TRUE(db().Add("KVTCOM13", {{"REFERENCE", "MAIN"}, {"LOCATION", "01"}}));
  ASSERT_TRUE(db().Add("KVTCOM13", {{"REFERENCE", "WEST"}, {"LOCATION", "02"}}));
  ASSERT_TRUE(db().Add("KVTCOM14", {{"STOREREF", "MAIN"}, {"TILLNUM", "1"}}));
  ASSERT_TRUE(db().Add("KVTCOM11", {{"EMPCODE", "100"}}));
  ASSERT_TRUE(db().Add("KVTCOM10", {{"SHIFT", "1"}}));
  ASSERT_TRUE(db().Add("KVTPOS1", {{"INVOICENUM", "1001"},
                                   {"STORE", "MAIN"},
                                   {"INVDATE", "12/05/2025"},
                                   {"TILLREF", "1"},
                                   {"SHIFT", "1"},
                                   {"CASHAMT", "12.50"}}));
  Result r = RunScript(
      "today 12/05/2025\n"
      "call POSLogin\n"
      "expect screen \"Point of Sale\"\n"
      "expect focus 179\n"
      "type MAIN\nkey Enter\nkey Enter\n"
      "type 9\nkey Enter\n"
      "expect message \"Invalid Till Reference.\" \"Error\"\n"
      "expect focus 176\n"
      "type 1\nkey Enter\n"
      "type 100\nkey Enter\n"
      "type 1\nkey Enter\n"
      "expect screen \"Shift total verification\"\n"
      "expect focus 103\n"
      "show\n"
      "click Yes\n"
      "expect sql \"SELECT STORE, INVDATE, TILLREF, SHIFT FROM KVTPOS9\" \"MAIN|12/05/2025|1|1\"\n"
      "expect screen \"Sale Items\"\n");
  EXPECT_EQ(r.rc, 0) << r.out;
  EXPECT_NE(r.out.find("Cash Sales                        1              $12.50"),
            std::string::npos)
      << "the totals are not in the transcript:\n"
      << r.out;
}

KVT_ON_BOTH_BACKENDS(LoginScript);

}  // namespace

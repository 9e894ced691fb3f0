// Running a GoogleTest suite on both databases:
//
//   class Sale : public kvt::test::OnEachBackend {};
//   TEST_P(Sale, VoidedLineLosesItsTaxRows) { ... }   // connection 1 is open
//   KVT_ON_BOTH_BACKENDS(Sale);
//
// Each test gets a fresh, empty database (TempDatabase) opened as connection
// 1. Without KVT_PG the PostgreSQL instances are skipped and say why.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tools/tempdb/tempdb.h"

namespace kvt::test {

class OnEachBackend : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    std::string reason;
    if (GetParam() == Backend::PostgreSQL && !PostgresAvailable(&reason)) GTEST_SKIP() << reason;
    tempDb_ = TempDatabase::Create(GetParam(), &reason);
    ASSERT_TRUE(tempDb_) << reason;
  }
  void TearDown() override { tempDb_.reset(); }

  TempDatabase& tempDb() { return *tempDb_; }
  bool IsPg() const { return GetParam() == Backend::PostgreSQL; }

 private:
  std::unique_ptr<TempDatabase> tempDb_;
};

inline std::string BackendParamName(const ::testing::TestParamInfo<Backend>& info) {
  return BackendName(info.param);
}

}  // namespace kvt::test

#define KVT_ON_BOTH_BACKENDS(Suite)                                                           \
  INSTANTIATE_TEST_SUITE_P(                                                                   \
      , Suite, ::testing::Values(kvt::test::Backend::SQLite, kvt::test::Backend::PostgreSQL), \
      kvt::test::BackendParamName)

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/win/module.h"
#include "tests/support/files.h"

namespace {

using AddFn = int (*)(int, int);

TEST(Module, FindsTheModuleByItsWindowsNameInAnyCase) {
  const std::string want = GetModuleDirectory() + "/libkvttestmod.so";
  for (const char* name : {"KVTTESTMOD.DLL", "kvtTestMod.dll", "kvttestmod", "libkvttestmod.so"}) {
    EXPECT_EQ(FindModuleFile(name), want) << name;
    HMODULE h = LoadLibrary(name);
    ASSERT_NE(h, nullptr) << name << ": " << LastModuleError();
    AddFn add = GetProc<AddFn>(h, "KvtTestModAdd");
    ASSERT_NE(add, nullptr) << name;
    EXPECT_EQ(add(2, 3), 5);
    EXPECT_TRUE(FreeLibrary(h));
  }
}

TEST(Module, NameThatOnlyStartsLikeAModuleIsNotThatModule) {
  for (const char* name : {"KVTTEST.DLL", "KVTTESTMODX.DLL", "TESTMOD.DLL", ""}) {
    EXPECT_EQ(FindModuleFile(name), "") << name;
    EXPECT_EQ(LoadLibrary(name), nullptr) << name;
  }
}

TEST(Module, MissingModuleIsNullAndTheErrorNamesIt) {
  EXPECT_EQ(LoadLibrary("KVTNOSUCH.DLL"), nullptr);
  EXPECT_NE(LastModuleError().find("KVTNOSUCH.DLL"), std::string::npos) << LastModuleError();
  EXPECT_EQ(LoadLibrary(nullptr), nullptr);
}

TEST(Module, MissingOrHiddenEntryPointIsNull) {
  HMODULE h = LoadLibrary("KVTTESTMOD.DLL");
  ASSERT_NE(h, nullptr) << LastModuleError();
  EXPECT_EQ(GetProcAddress(h, "KvtTestModNoSuch"), nullptr);
  EXPECT_NE(LastModuleError().find("KvtTestModNoSuch"), std::string::npos) << LastModuleError();
  EXPECT_EQ(GetProcAddress(h, "KvtTestModHidden"), nullptr);
  EXPECT_EQ(GetProcAddress(h, nullptr), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "KvtTestModAdd"), nullptr);
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST(Module, LoadsAreCountedUntilTheLastFree) {
  const std::string file = FindModuleFile("KVTTESTMOD.DLL");
  ASSERT_FALSE(file.empty());
  HMODULE a = LoadLibrary("KVTTESTMOD.DLL");
  HMODULE b = LoadLibrary("kvttestmod");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_TRUE(FreeLibrary(a));
  void* still = ::dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(still, nullptr) << "freed while a load was outstanding";
  if (still) ::dlclose(still);
  EXPECT_TRUE(FreeLibrary(b));
}

class ModuleDirectory : public ::testing::Test {
 protected:
  void SetUp() override { SetModuleDirectory(dir_); }
  void TearDown() override { SetModuleDirectory(""); }
  kvt::test::ScratchDir scratch_;
  const std::string dir_ = scratch_.path();
};

TEST_F(ModuleDirectory, SetDirectoryWinsOverTheEnvironment) {
  EXPECT_EQ(GetModuleDirectory(), dir_);
  EXPECT_EQ(LoadLibrary("KVTTESTMOD.DLL"), nullptr);
  EXPECT_NE(LastModuleError().find(dir_), std::string::npos) << LastModuleError();
}

TEST_F(ModuleDirectory, FileThatIsNotAModuleFailsWithAReason) {
  std::ofstream(dir_ + "/libkvtbroken.so") << "not a shared library";
  EXPECT_EQ(FindModuleFile("KVTBROKEN.DLL"), dir_ + "/libkvtbroken.so");
  EXPECT_EQ(LoadLibrary("KVTBROKEN.DLL"), nullptr);
  EXPECT_FALSE(LastModuleError().empty());
}

TEST_F(ModuleDirectory, ModuleWhoseNameStartsWithLibKeepsIt) {
  std::ofstream(dir_ + "/liblibrary.so") << "";
  std::ofstream(dir_ + "/libfoo.so") << "";
  EXPECT_EQ(FindModuleFile("LIBRARY.DLL"), dir_ + "/liblibrary.so");
  EXPECT_EQ(FindModuleFile("LIBFOO.DLL"), dir_ + "/libfoo.so");
  EXPECT_EQ(FindModuleFile("libfoo.so"), dir_ + "/libfoo.so");
}

}  // namespace

// The suite's compression program (KVTZIP.EXE):
//   kvtzip D archive mask destination     unpack the entries matching mask
//   kvtzip C archive source SPAN|NOSPAN   pack the files matching source
// Its callers read the exit code the other way round from most programs: 1
// when the work was done, 0 when it failed (with the reason on stderr).
// Archives are not split over disks here, so SPAN packs as NOSPAN does.
#include <fnmatch.h>
#include <glob.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kDone = 1, kFailed = 0;

int Fail(const std::string& text) {
  std::fprintf(stderr, "kvtzip: %s\n", text.c_str());
  return kFailed;
}

std::string OpenError(int code) {
  zip_error_t ze;
  zip_error_init_with_code(&ze, code);
  std::string text = zip_error_strerror(&ze);
  zip_error_fini(&ze);
  return text;
}

int Unpack(const std::string& archive, const std::string& mask, const std::string& destination) {
  int code = 0;
  zip_t* za = zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!za) return Fail(archive + ": " + OpenError(code));
  std::error_code ec;
  fs::create_directories(destination, ec);
  zip_int64_t n = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < n; ++i) {
    const char* name = zip_get_name(za, static_cast<zip_uint64_t>(i), 0);
    if (!name) continue;
    std::string base = fs::path(name).filename().string();
    if (base.empty() || fnmatch(mask.c_str(), base.c_str(), FNM_CASEFOLD) != 0) continue;
    zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
    if (!f) {
      std::string why = zip_strerror(za);
      zip_discard(za);
      return Fail(archive + ": " + why);
    }
    fs::path target = fs::path(destination) / base;
    std::string part = target.string() + ".part";
    std::ofstream out(part, std::ios::binary);
    char buf[65536];
    zip_int64_t got;
    while ((got = zip_fread(f, buf, sizeof buf)) > 0) out.write(buf, got);
    std::string why = got < 0 ? zip_file_strerror(f) : "";
    zip_fclose(f);
    out.close();
    if (got < 0 || !out) {
      fs::remove(part, ec);
      zip_discard(za);
      return Fail(archive + ": " + (why.empty() ? "cannot write " + target.string() : why));
    }
    fs::rename(part, target, ec);
    if (ec) {
      zip_discard(za);
      return Fail(target.string() + ": " + ec.message());
    }
  }
  zip_discard(za);
  return kDone;
}

int Pack(const std::string& archive, const std::string& source) {
  glob_t found{};
  std::vector<std::string> files;
  if (glob(source.c_str(), 0, nullptr, &found) == 0)
    for (size_t i = 0; i < found.gl_pathc; ++i)
      if (fs::is_regular_file(found.gl_pathv[i])) files.emplace_back(found.gl_pathv[i]);
  globfree(&found);
  if (files.empty()) return Fail(source + ": no files to pack");
  std::string part = archive + ".part";
  int code = 0;
  zip_t* za = zip_open(part.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!za) return Fail(archive + ": " + OpenError(code));
  for (const std::string& file : files) {
    zip_source_t* src = zip_source_file(za, file.c_str(), 0, -1);
    std::string name = fs::path(file).filename().string();
    if (!src || zip_file_add(za, name.c_str(), src, ZIP_FL_OVERWRITE) < 0) {
      if (src) zip_source_free(src);
      std::string why = zip_strerror(za);
      zip_discard(za);
      std::remove(part.c_str());
      return Fail(file + ": " + why);
    }
  }
  if (zip_close(za) != 0) {
    std::string why = zip_strerror(za);
    zip_discard(za);
    std::remove(part.c_str());
    return Fail(archive + ": " + why);
  }
  if (std::rename(part.c_str(), archive.c_str()) != 0) {
    std::remove(part.c_str());
    return Fail(archive + ": cannot be put in place");
  }
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() == 4 && (a[0] == "D" || a[0] == "d")) return Unpack(a[1], a[2], a[3]);
  if (a.size() == 4 && (a[0] == "C" || a[0] == "c") && (a[3] == "SPAN" || a[3] == "NOSPAN"))
    return Pack(a[1], a[2]);
  return Fail("usage: kvtzip D archive mask destination | kvtzip C archive source SPAN|NOSPAN");
}

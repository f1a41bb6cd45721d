// Fresh private directories for the tests and the fuzz harnesses, made in
// the system's temporary directory as std::filesystem::temp_directory_path
// names it (TMPDIR on POSIX systems, TMP or TEMP on Windows).
//
// Every directory is new: its name is the caller's prefix and random
// characters, and it is made only where nothing of that name existed, so
// tests that run at the same time, copies of one test included, never share
// one. On POSIX systems mkdtemp makes it, open to its owner only; on Windows,
// which has no mkdtemp, random names are tried until create_directory makes
// a new directory.
#ifndef QUADRIXEL_TESTS_SUPPORT_TEMP_DIRECTORY_H_
#define QUADRIXEL_TESTS_SUPPORT_TEMP_DIRECTORY_H_

#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <cstdint>
#include <random>
#else
#include <stdlib.h>
#endif

// Makes a new directory in the temporary directory whose name starts with
// `prefix` and returns its path; returns an empty path when none could be
// made. Safe to call from several threads at once.
inline std::filesystem::path makeTemporaryDirectory(const std::string& prefix) {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) return {};
#ifdef _WIN32
  std::random_device seed;
  std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed());
  // create_directory answers false without an error when the name is taken.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / (prefix + "-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate, error)) return candidate;
    if (error) return {};
  }
  return {};
#else
  std::string pattern = (base / (prefix + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
#endif
}

// A directory from makeTemporaryDirectory that is removed, with everything
// in it, when this object ends, unless keep() was called.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const std::string& prefix) : path_(makeTemporaryDirectory(prefix)) {}
  ~TemporaryDirectory() {
    if (path_.empty() || kept_) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  // The directory; empty when it could not be made.
  const std::filesystem::path& path() const { return path_; }

  // Leaves the directory in place, so that what a failed test left in it
  // can be looked at.
  void keep() { kept_ = true; }

 private:
  std::filesystem::path path_;
  bool kept_ = false;
};

#endif  // QUADRIXEL_TESTS_SUPPORT_TEMP_DIRECTORY_H_

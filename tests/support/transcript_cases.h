// The transcript cases: one folder each under TRANSCRIPT_DIR, holding the
// run's standard input (`input`), its exact standard output (`expected`)
// and, optionally, the data file beside it (`MatrixDataFile2.txt`).
#ifndef QUADRIXEL_TESTS_SUPPORT_TRANSCRIPT_CASES_H_
#define QUADRIXEL_TESTS_SUPPORT_TRANSCRIPT_CASES_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The dialogue's first three lines, which every run prints.
inline const std::string DIALOGUE_MENU =
    "Where is the data for the matrix?\n"
    "If it will be typed in on the (K)eyboard, type K\n"
    "If it is already in the Quadrixel (F)ile, type F\n";

// Returns the whole content of the file at `path`, or "" when it cannot be read.
inline std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The names of all case folders, sorted; only the one named by the
// environment variable TRANSCRIPT_CASE when that is set (so that each case
// can be one test of its own).
inline std::vector<std::string> transcriptCaseNames() {
  if (const char* only = std::getenv("TRANSCRIPT_CASE")) return {only};
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(TRANSCRIPT_DIR)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A test name for a case folder: its name with every character that is not
// a letter or a digit replaced by '_'.
inline std::string transcriptTestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
      '_');
  return name;
}

#endif  // QUADRIXEL_TESTS_SUPPORT_TRANSCRIPT_CASES_H_

// Runs the built program on every transcript case and compares its standard
// output byte for byte with the expected one.
//
// A case is a folder under the transcripts directory holding `input` (the
// run's standard input), `expected` (its exact standard output) and, when
// the run reads the data file, `MatrixDataFile2.txt`. Each run happens in a
// fresh temporary directory, so a case without a data file has none.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Every case folder, or only the one named by TRANSCRIPT_CASE when it is set.
std::vector<std::string> caseNames() {
  if (const char* only = std::getenv("TRANSCRIPT_CASE")) return {only};
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(TRANSCRIPT_DIR)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Transcript : public testing::TestWithParam<std::string> {};

TEST_P(Transcript, OutputMatchesExactly) {
  const fs::path source = fs::path(TRANSCRIPT_DIR) / GetParam();
  ASSERT_TRUE(fs::exists(source / "input")) << source;
  ASSERT_TRUE(fs::exists(source / "expected")) << source;
  const fs::path work = fs::temp_directory_path() /
                        ("quadrixel-transcript-" + GetParam() + "-" +
                         std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(work);
  fs::create_directories(work);
  const fs::path dataFile = source / "MatrixDataFile2.txt";
  if (fs::exists(dataFile)) fs::copy(dataFile, work / "MatrixDataFile2.txt");

  const std::string command = "cd '" + work.string() + "' && '" QUADRIXEL_PROGRAM "' < '" +
                              (source / "input").string() + "' > actual";
  const int status = std::system(command.c_str());
  EXPECT_EQ(status, 0) << command;
  EXPECT_EQ(readFile(work / "actual"), readFile(source / "expected"));
  fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Cases, Transcript, testing::ValuesIn(caseNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                               '_');
                           return name;
                         });

}  // namespace

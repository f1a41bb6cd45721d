// Runs the built program on every transcript case and compares its standard
// output byte for byte with the expected one.
//
// A case is a folder under the transcripts directory holding `input` (the
// run's standard input), `expected` (its exact standard output) and, when
// the run reads the data file, `MatrixDataFile2.txt`. Each run happens in a
// fresh temporary directory, so a case without a data file has none.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/transcript_cases.h"

namespace fs = std::filesystem;

namespace {

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
  EXPECT_EQ(readWholeFile(work / "actual"), readWholeFile(source / "expected"));
  fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Cases, Transcript, testing::ValuesIn(transcriptCaseNames()),
                         transcriptTestName);

}  // namespace

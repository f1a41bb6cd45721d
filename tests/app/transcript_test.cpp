// Runs the built program on every transcript case and compares its standard
// output byte for byte with the expected one; standard error must stay
// empty, and the run must end by itself within its time limit with the
// status 0.
//
// A case is a folder under the transcripts directory holding `input` (the
// run's standard input), `expected` (its exact standard output) and, when
// the run reads the data file, `MatrixDataFile2.txt`. Each run happens in a
// fresh temporary directory, so a case without a data file has none.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/program_run.h"
#include "support/temp_directory.h"
#include "support/transcript_cases.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned RUN_LIMIT_SECONDS = 20;

class Transcript : public testing::TestWithParam<std::string> {};

TEST_P(Transcript, OutputMatchesExactly) {
  const fs::path source = fs::path(TRANSCRIPT_DIR) / GetParam();
  ASSERT_TRUE(fs::exists(source / "input")) << source;
  ASSERT_TRUE(fs::exists(source / "expected")) << source;
  const TemporaryDirectory work("quadrixel-transcript");
  ASSERT_FALSE(work.path().empty());
  const fs::path dataFile = source / "MatrixDataFile2.txt";
  if (fs::exists(dataFile)) fs::copy(dataFile, work.path() / "MatrixDataFile2.txt");

  ProgramSurroundings surroundings;
  surroundings.directory = work.path().string();
  surroundings.input = (source / "input").string();
  surroundings.output = (work.path() / "actual").string();
  surroundings.errors = (work.path() / "errors").string();
  surroundings.limitSeconds = RUN_LIMIT_SECONDS;
  const ProgramOutcome outcome = runProgram(QUADRIXEL_PROGRAM, surroundings);

  EXPECT_TRUE(outcome.exited && outcome.exitStatus == 0 && outcome.errors.empty())
      << describe(outcome);
  EXPECT_EQ(readWholeFile(surroundings.output), readWholeFile(source / "expected"));
}

INSTANTIATE_TEST_SUITE_P(Cases, Transcript, testing::ValuesIn(transcriptCaseNames()),
                         transcriptTestName);

}  // namespace

// Cuts the input of every transcript case after each of its bytes and runs
// the dialogue on every such prefix, beside the case's data file: each run
// must end by itself with the exit status 0, leave no file open and, in the
// sanitizer build, give the sanitizers nothing to report (a report ends the
// test's process).
//
// Every cut runs in this process, through runInverseDialogue on string
// streams, with the data file's path in a private temporary directory. The
// built program itself is started only for a few cuts that fall at line
// ends, where someone at the console may stop typing: at most
// REAL_RUNS_PER_CASE of them, spread evenly over the input, the whole input
// always among them. It is given the same path on its command line, and each
// such run must end by itself with the status 0, nothing on standard error
// and the same standard output as the dialogue gave in this process.
//
// The sweep of a case has one time limit, started before anything else is
// done: when it passes, a watchdog ends this process, so a run that hangs
// fails the test rather than stalling the suite. Every real run has a time
// limit of its own too, so that no child outlives the test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/inverse_dialogue.h"
#include "matrix/matrix_record.h"
#include "support/program_run.h"
#include "support/temp_directory.h"
#include "support/transcript_cases.h"
#include "support/watchdog.h"

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::seconds SWEEP_LIMIT{60};
constexpr unsigned REAL_RUN_LIMIT_SECONDS = 20;
constexpr std::size_t REAL_RUNS_PER_CASE = 3;

// The lowest free file descriptor: it changes when a run leaves one open.
int lowestFreeDescriptor() {
  const int probe = open("/dev/null", O_RDONLY);
  close(probe);
  return probe;
}

// The cut lengths of `input` at which the built program is run: the lengths
// just after a line end, thinned evenly to at most REAL_RUNS_PER_CASE, the
// last one (the whole input, which ends in a line end) always kept.
std::vector<std::size_t> realRunCuts(const std::string& input) {
  std::vector<std::size_t> lineEnds;
  for (std::size_t at = 0; at < input.size(); ++at) {
    if (input[at] == '\n') lineEnds.push_back(at + 1);
  }
  if (lineEnds.empty() || lineEnds.back() != input.size()) lineEnds.push_back(input.size());
  if (lineEnds.size() <= REAL_RUNS_PER_CASE) return lineEnds;
  std::vector<std::size_t> cuts;
  for (std::size_t k = 1; k <= REAL_RUNS_PER_CASE; ++k) {
    cuts.push_back(lineEnds[k * lineEnds.size() / REAL_RUNS_PER_CASE - 1]);
  }
  return cuts;
}

class InputSweep : public testing::TestWithParam<std::string> {};

TEST_P(InputSweep, EveryCutEndsCleanly) {
  const Watchdog watchdog(
      SWEEP_LIMIT, "sweep of transcript case " + GetParam() + " did not end within its time limit");
  const fs::path source = fs::path(TRANSCRIPT_DIR) / GetParam();
  ASSERT_TRUE(fs::exists(source / "input")) << source;
  TemporaryDirectory work("quadrixel-sweep");
  ASSERT_FALSE(work.path().empty());
  const fs::path caseDataFile = source / "MatrixDataFile2.txt";
  // Where the case has no data file, this path names none.
  const std::string dataFile = (work.path() / "MatrixDataFile2.txt").string();
  if (fs::exists(caseDataFile)) fs::copy(caseDataFile, dataFile);
  const std::string input = readWholeFile(source / "input");

  // Every cut, in this process; the outputs are kept for the real runs.
  std::vector<std::string> outputs(input.size() + 1);
  MatrixBuffer given;
  MatrixBuffer adjoint;
  for (std::size_t length = 0; length <= input.size(); ++length) {
    std::istringstream in(input.substr(0, length));
    std::ostringstream out;
    const int freeBefore = lowestFreeDescriptor();
    const int status = runInverseDialogue(given, adjoint, dataFile.c_str(), in, out);
    EXPECT_EQ(status, 0) << "input cut after " << length << " bytes";
    EXPECT_EQ(lowestFreeDescriptor(), freeBefore)
        << "input cut after " << length << " bytes: the data file was left open";
    outputs[length] = out.str();
  }

  // A few cuts at line ends, in the built program.
  bool failed = false;
  for (const std::size_t length : realRunCuts(input)) {
    const std::string name = std::to_string(length);
    std::ofstream(work.path() / ("input-" + name), std::ios::binary) << input.substr(0, length);
    ProgramSurroundings surroundings;
    surroundings.directory = work.path().string();
    surroundings.input = (work.path() / ("input-" + name)).string();
    surroundings.output = (work.path() / ("output-" + name)).string();
    surroundings.errors = (work.path() / ("errors-" + name)).string();
    surroundings.limitSeconds = REAL_RUN_LIMIT_SECONDS;
    const ProgramOutcome outcome = runProgram(QUADRIXEL_PROGRAM, surroundings, {dataFile});
    const bool clean = outcome.exited && outcome.exitStatus == 0 && outcome.errors.empty();
    EXPECT_TRUE(clean) << "program on the input cut after " << length
                       << " bytes: " << describe(outcome);
    const std::string output = readWholeFile(surroundings.output);
    EXPECT_EQ(output, outputs[length])
        << "program on the input cut after " << length << " bytes printed otherwise";
    failed = failed || !clean || output != outputs[length];
  }
  if (failed) {
    work.keep();
    ADD_FAILURE() << "inputs and outputs are kept in " << work.path();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, InputSweep, testing::ValuesIn(transcriptCaseNames()),
                         transcriptTestName);

}  // namespace

// Cuts the input of every transcript case after each of its bytes and runs
// the built program on every such prefix, beside the case's data file: each
// run must end by itself, with the exit status 0 and nothing on standard
// error (where the sanitizers report).
//
// Each prefix gets one second, or four times what the whole input took when
// that is longer (a case whose matrix is large may take a while in the
// sanitizer build; the limit is there to catch a run that never ends). A run
// that hits its limit is tried once more before it counts as hanging, so
// that a busy machine does not fail the test. Runs go two at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/program_run.h"
#include "support/transcript_cases.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned SWEEP_WORKERS = 2;
// Time allowed for the whole input of a case, before the prefixes.
constexpr unsigned WHOLE_INPUT_LIMIT_SECONDS = 600;

class InputSweep : public testing::TestWithParam<std::string> {};

TEST_P(InputSweep, EveryPrefixEndsCleanly) {
  const fs::path source = fs::path(TRANSCRIPT_DIR) / GetParam();
  ASSERT_TRUE(fs::exists(source / "input")) << source;
  const fs::path work = fs::temp_directory_path() /
                        ("quadrixel-sweep-" + GetParam() + "-" + std::to_string(getpid()));
  fs::remove_all(work);
  fs::create_directories(work / "prefixes");
  fs::create_directories(work / "errors");
  const fs::path dataFile = source / "MatrixDataFile2.txt";
  if (fs::exists(dataFile)) fs::copy(dataFile, work / "MatrixDataFile2.txt");

  const std::string input = readWholeFile(source / "input");
  for (std::size_t length = 0; length <= input.size(); ++length) {
    std::ofstream(work / "prefixes" / std::to_string(length), std::ios::binary)
        << input.substr(0, length);
  }
  auto surroundingsFor = [&](std::size_t length, unsigned limitSeconds) {
    ProgramSurroundings surroundings;
    surroundings.directory = work.string();
    surroundings.input = (work / "prefixes" / std::to_string(length)).string();
    surroundings.errors = (work / "errors" / std::to_string(length)).string();
    surroundings.limitSeconds = limitSeconds;
    return surroundings;
  };

  const auto start = std::chrono::steady_clock::now();
  const ProgramOutcome whole =
      runProgram(QUADRIXEL_PROGRAM, surroundingsFor(input.size(), WHOLE_INPUT_LIMIT_SECONDS));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(whole.exited && whole.exitStatus == 0 && whole.errors.empty())
      << "whole input: " << describe(whole);
  const unsigned limit = std::max(1u, static_cast<unsigned>(std::ceil(4 * took.count())));

  std::atomic<std::size_t> nextLength{0};
  std::mutex failuresLock;
  std::vector<std::string> failures;
  auto sweep = [&] {
    for (std::size_t length = nextLength++; length < input.size(); length = nextLength++) {
      const ProgramSurroundings surroundings = surroundingsFor(length, limit);
      ProgramOutcome outcome = runProgram(QUADRIXEL_PROGRAM, surroundings);
      if (outcome.timedOut()) outcome = runProgram(QUADRIXEL_PROGRAM, surroundings);
      if (!outcome.exited || outcome.exitStatus != 0 || !outcome.errors.empty()) {
        const std::lock_guard<std::mutex> guard(failuresLock);
        failures.push_back("input cut after " + std::to_string(length) +
                           " bytes: " + describe(outcome));
      }
    }
  };
  std::vector<std::thread> workers;
  for (unsigned i = 0; i < SWEEP_WORKERS; ++i) workers.emplace_back(sweep);
  for (auto& worker : workers) worker.join();

  for (const auto& failure : failures) ADD_FAILURE() << failure;
  if (failures.empty()) fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Cases, InputSweep, testing::ValuesIn(transcriptCaseNames()),
                         transcriptTestName);

}  // namespace

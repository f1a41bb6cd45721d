// Runs the built program in surroundings that a user's machine may offer
// but a transcript cannot hold: a data file that is a directory or that may
// not be read, a standard output that takes nothing (/dev/full) or is
// closed, a closed standard input. Every run must end by itself with nothing
// on standard error; a run that could not write its output must end with a
// status other than 0.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/program_run.h"
#include "support/transcript_cases.h"

namespace fs = std::filesystem;

namespace {

const std::string MENU =
    "Where is the data for the matrix?\n"
    "If it will be typed in on the (K)eyboard, type K\n"
    "If it is already in the Quadrixel (F)ile, type F\n";
const std::string KEYBOARD_ROAD = "K\n2x2\n4\n7\n2\n6\n\n";
const std::string DATA_FILE = "[M202 4 7 2 6]\n";

enum class DataFile { kNone, kRegular, kDirectory, kUnreadable };
enum class Output { kFile, kFull, kClosed };

struct SurroundingsCase {
  const char* name;
  DataFile dataFile;
  bool inputClosed;
  const char* input;
  Output output;
  int exitStatus;
  const char* expected;  // standard output, checked when it goes to a file
};

// Runs the program in the surroundings of `c` and checks how it ended.
void runCase(const SurroundingsCase& c) {
  SCOPED_TRACE(c.name);
  const fs::path work =
      fs::temp_directory_path() / ("quadrixel-surroundings-" + std::to_string(getpid()));
  fs::remove_all(work);
  fs::create_directories(work);
  const fs::path dataFile = work / "MatrixDataFile2.txt";
  if (c.dataFile == DataFile::kDirectory) {
    fs::create_directory(dataFile);
  } else if (c.dataFile != DataFile::kNone) {
    std::ofstream(dataFile) << DATA_FILE;
    if (c.dataFile == DataFile::kUnreadable) chmod(dataFile.c_str(), 0);
  }
  std::ofstream(work / "input", std::ios::binary) << c.input;

  ProgramSurroundings surroundings;
  surroundings.directory = work.string();
  surroundings.input = c.inputClosed ? "" : (work / "input").string();
  surroundings.output = c.output == Output::kFile   ? (work / "output").string()
                        : c.output == Output::kFull ? "/dev/full"
                                                    : "";
  surroundings.errors = (work / "errors").string();
  surroundings.limitSeconds = 10;
  const ProgramOutcome outcome = runProgram(QUADRIXEL_PROGRAM, surroundings);

  EXPECT_TRUE(outcome.exited && outcome.exitStatus == c.exitStatus && outcome.errors.empty())
      << describe(outcome);
  if (c.output == Output::kFile) {
    EXPECT_EQ(readWholeFile(work / "output"), c.expected);
  }
  fs::remove_all(work);
}

TEST(Surroundings, ProgramEndsAndReportsFailedOutput) {
  const std::string cannotRead = MENU + "Cannot read file MatrixDataFile2.txt\n";
  // clang-format off
  const SurroundingsCase cases[] = {
      {"data file is a directory", DataFile::kDirectory, false, "F\n1\n\n", Output::kFile, 0,
       cannotRead.c_str()},
      {"closed standard input", DataFile::kNone, true, "", Output::kFile, 0, MENU.c_str()},
      {"full output, keyboard road", DataFile::kNone, false, KEYBOARD_ROAD.c_str(),
       Output::kFull, 1, nullptr},
      {"full output, file road", DataFile::kRegular, false, "F\n1\n\n", Output::kFull, 1,
       nullptr},
      {"full output, input ends at the menu", DataFile::kNone, false, "", Output::kFull, 1,
       nullptr},
      {"closed output", DataFile::kNone, false, KEYBOARD_ROAD.c_str(), Output::kClosed, 1,
       nullptr},
  };
  // clang-format on
  for (const auto& c : cases) runCase(c);
}

TEST(Surroundings, UnreadableDataFileIsNotFound) {
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not hold root back";
  const std::string cannotFind = MENU + "Cannot find file MatrixDataFile2.txt\n";
  runCase({"data file may not be read", DataFile::kUnreadable, false, "F\n1\n\n", Output::kFile, 0,
           cannotFind.c_str()});
}

}  // namespace

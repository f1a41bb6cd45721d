// Runs the built program in surroundings that a user's machine may offer
// but a transcript cannot hold: a data file that is a directory or that may
// not be read, a standard output that takes nothing (/dev/full) or is
// closed, a closed standard input. Every run must end by itself with nothing
// on standard error; a run that could not write its output must end with a
// status other than 0.
//
// A data file that may not be read holds back only a program that does not
// run as root: when the test runs as root, that run gives up root for user
// 65534 (ProgramSurroundings::unprivileged), so it runs the same for anyone.
// It runs a copy of the program in its working directory, so that only the
// temporary directory has to be open to that user, wherever the build is.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/program_run.h"
#include "support/temp_directory.h"
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

// True when `path` and every directory above it may be searched by any user.
bool openToEveryone(const fs::path& path) {
  for (fs::path at = fs::absolute(path); !at.empty(); at = at.parent_path()) {
    struct stat info;
    if (stat(at.c_str(), &info) != 0 || (info.st_mode & S_IXOTH) == 0) return false;
    if (at == at.parent_path()) break;
  }
  return true;
}

// Runs the program in the surroundings of `c` and checks how it ended.
void runCase(const SurroundingsCase& c) {
  SCOPED_TRACE(c.name);
  const TemporaryDirectory made("quadrixel-surroundings");
  ASSERT_FALSE(made.path().empty());
  const fs::path& work = made.path();
  const fs::path dataFile = work / "MatrixDataFile2.txt";
  if (c.dataFile == DataFile::kDirectory) {
    fs::create_directory(dataFile);
  } else if (c.dataFile != DataFile::kNone) {
    std::ofstream(dataFile) << DATA_FILE;
    if (c.dataFile == DataFile::kUnreadable) chmod(dataFile.c_str(), 0);
  }
  // An unprivileged run must reach its working directory and its program.
  fs::permissions(work, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  const bool unprivileged = c.dataFile == DataFile::kUnreadable;
  const fs::path program = unprivileged ? work / "quadrixel" : fs::path(QUADRIXEL_PROGRAM);
  if (unprivileged) fs::copy_file(QUADRIXEL_PROGRAM, program);
  std::ofstream(work / "input", std::ios::binary) << c.input;

  ProgramSurroundings surroundings;
  surroundings.directory = work.string();
  surroundings.input = c.inputClosed ? "" : (work / "input").string();
  surroundings.output = c.output == Output::kFile   ? (work / "output").string()
                        : c.output == Output::kFull ? "/dev/full"
                                                    : "";
  surroundings.errors = (work / "errors").string();
  surroundings.limitSeconds = 10;
  surroundings.unprivileged = unprivileged;
  const ProgramOutcome outcome = runProgram(program.string(), surroundings);

  EXPECT_TRUE(outcome.exited && outcome.exitStatus == c.exitStatus && outcome.errors.empty())
      << describe(outcome);
  if (c.output == Output::kFile) {
    EXPECT_EQ(readWholeFile(work / "output"), c.expected);
  }
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

TEST(Surroundings, UnreadableDataFileCannotBeRead) {
  if (geteuid() == 0 && !openToEveryone(fs::temp_directory_path())) {
    GTEST_SKIP() << "user 65534 may not enter the temporary directory "
                 << fs::temp_directory_path();
  }
  const std::string cannotRead = MENU + "Cannot read file MatrixDataFile2.txt\n";
  runCase({"data file may not be read", DataFile::kUnreadable, false, "F\n1\n\n", Output::kFile, 0,
           cannotRead.c_str()});
}

}  // namespace

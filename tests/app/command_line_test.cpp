// Runs the built program with the arguments of each case of one table and
// compares its standard output and standard error byte for byte with the
// expected ones, and its exit status: the help, also on an output that takes
// nothing, the version, a data file named on the command line, '--' before
// a name that starts with '-', the usage errors, and no argument at all.
// Each run happens in a fresh temporary directory, which holds the case's
// data file, if it has one, and nothing else; the runs on the file road
// take the worked example's transcripts, whatever the data file is called.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_directory.h"
#include "support/transcript_cases.h"

namespace fs = std::filesystem;

namespace {

const std::string& MENU = DIALOGUE_MENU;

const std::string HELP =
    "Usage: quadrixel [FILE]\n"
    "Reports the determinant and the adjoint of one integer matrix, typed at the\n"
    "keyboard or picked from a data file, and how to form its inverse from them.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "      --         end the options, so that FILE may start with '-'\n"
    "\n"
    "At the answer F the matrix is picked from the data file FILE, or without\n"
    "FILE from MatrixDataFile2.txt in the current directory.\n"
    "See quadrixel(1) for the whole dialogue and the format of the data file.\n";

std::string usageError(const std::string& line) {
  return "quadrixel: " + line + "\nTry 'quadrixel --help'.\n";
}

// The file `name` of the transcript case `folder`.
std::string transcriptFile(const char* folder, const char* name) {
  return readWholeFile(fs::path(TRANSCRIPT_DIR) / folder / name);
}

enum class DataFile { kNone, kFile, kDirectory };

struct ArgumentCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string input;
  DataFile dataFile;
  std::string dataFileName;  // in the working directory
  std::string output;
  std::string errors;
  int exitStatus;
  bool fullOutput = false;  // standard output is /dev/full, and not checked
};

TEST(CommandLine, ProgramAnswersEachCommandLine) {
  const std::string worked = transcriptFile("file-worked-example-reply-1", "MatrixDataFile2.txt");
  const std::string reply0Input = transcriptFile("file-worked-example-reply-0", "input");
  const std::string reply0Output = transcriptFile("file-worked-example-reply-0", "expected");
  const std::string reply1Input = transcriptFile("file-worked-example-reply-1", "input");
  const std::string reply1Output = transcriptFile("file-worked-example-reply-1", "expected");
  ASSERT_FALSE(worked.empty() || reply0Output.empty() || reply1Output.empty());
  const std::string oddName = "my matrices \xc3\xa4.txt";
  const std::string longName(5000, 'x');
  // clang-format off
  const ArgumentCase cases[] = {
      {"--help", {"--help"}, "", DataFile::kNone, "", HELP, "", 0},
      {"-h", {"-h"}, "", DataFile::kNone, "", HELP, "", 0},
      {"--help on a full output", {"--help"}, "", DataFile::kNone, "", "", "", 1, true},
      {"--version", {"--version"}, "", DataFile::kNone, "",
       "quadrixel " QUADRIXEL_VERSION "\n", "", 0},
      {"data file named, with a blank and bytes beyond ASCII", {oddName}, reply1Input,
       DataFile::kFile, oddName, reply1Output, "", 0},
      {"data file named, missing", {"missing " + oddName}, "F\n\n", DataFile::kNone, "",
       MENU + "Cannot find file missing " + oddName + "\n", "", 0},
      {"data file named, a directory, which cannot be read", {"a folder"}, "F\n\n",
       DataFile::kDirectory, "a folder", MENU + "Cannot read file a folder\n", "", 0},
      {"data file named by the empty word", {""}, "F\n\n", DataFile::kNone, "",
       MENU + "Cannot find file \n", "", 0},
      {"data file named by 5000 bytes", {longName}, "F\n\n", DataFile::kNone, "",
       MENU + "Cannot read file " + longName + "\n", "", 0},
      {"-- before a data file whose name starts with -", {"--", "-m.txt"}, reply0Input,
       DataFile::kFile, "-m.txt", reply0Output, "", 0},
      {"- alone names a data file", {"-"}, reply0Input, DataFile::kFile, "-", reply0Output, "", 0},
      {"unknown option", {"--matrix"}, reply1Input, DataFile::kNone, "", "",
       usageError("unknown option '--matrix'"), 2},
      {"two operands", {"a.txt", "b.txt"}, reply1Input, DataFile::kNone, "", "",
       usageError("extra operand 'b.txt'"), 2},
      {"no argument", {}, reply1Input, DataFile::kFile, "MatrixDataFile2.txt", reply1Output, "",
       0},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TemporaryDirectory made("quadrixel-command-line");
    ASSERT_FALSE(made.path().empty());
    const fs::path work = made.path() / "work";
    fs::create_directory(work);
    if (c.dataFile == DataFile::kFile) {
      std::ofstream(work / c.dataFileName, std::ios::binary) << worked;
    } else if (c.dataFile == DataFile::kDirectory) {
      fs::create_directory(work / c.dataFileName);
    }
    std::ofstream(made.path() / "input", std::ios::binary) << c.input;

    ProgramSurroundings surroundings;
    surroundings.directory = work.string();
    surroundings.input = (made.path() / "input").string();
    surroundings.output = c.fullOutput ? "/dev/full" : (made.path() / "output").string();
    surroundings.errors = (made.path() / "errors").string();
    surroundings.limitSeconds = 10;
    const ProgramOutcome outcome = runProgram(QUADRIXEL_PROGRAM, surroundings, c.arguments);

    EXPECT_TRUE(outcome.exited && outcome.exitStatus == c.exitStatus) << describe(outcome);
    if (!c.fullOutput) {
      EXPECT_EQ(readWholeFile(surroundings.output), c.output);
    }
    EXPECT_EQ(outcome.errors, c.errors);
  }
}

}  // namespace

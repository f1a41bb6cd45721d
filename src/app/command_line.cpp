#include "app/command_line.h"

#include <cassert>
#include <cstring>

#include "io/data_file_reader.h"

#ifndef QUADRIXEL_VERSION
#error "the build defines QUADRIXEL_VERSION, the version of the project() line"
#endif

namespace {

// The usage error `problem`, found at `argument`.
CommandLine usageError(const char* problem, const char* argument) {
  CommandLine line;
  line.request = Request::kUsageError;
  line.problem = problem;
  line.argument = argument;
  return line;
}

// True when `argument` is exactly `word`.
bool isWord(const char* argument, const char* word) { return std::strcmp(argument, word) == 0; }

// Prints the help on `out`.
void printHelp(std::ostream& out) {
  out << "Usage: quadrixel [FILE]\n"
         "Reports the determinant and the adjoint of one integer matrix, typed at the\n"
         "keyboard or picked from a data file, and how to form its inverse from them.\n"
         "\n"
         "  -h, --help     print this help and exit\n"
         "      --version  print the version and exit\n"
         "      --         end the options, so that FILE may start with '-'\n"
         "\n"
         "At the answer F the matrix is picked from the data file FILE, or without\n"
         "FILE from "
      << DATA_FILE_NAME
      << " in the current directory.\n"
         "See quadrixel(1) for the whole dialogue and the format of the data file.\n";
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
  assert(argc >= 0);
  CommandLine line;
  line.dataFile = DATA_FILE_NAME;
  bool haveFile = false;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    assert(argument != nullptr);
    // A lone "-" is no option; like any other operand, it names a file.
    if (!optionsEnded && argument[0] == '-' && argument[1] != '\0') {
      if (isWord(argument, "--")) {
        optionsEnded = true;
      } else if (isWord(argument, "--help") || isWord(argument, "-h")) {
        line.request = Request::kHelp;
        return line;
      } else if (isWord(argument, "--version")) {
        line.request = Request::kVersion;
        return line;
      } else {
        return usageError("unknown option", argument);
      }
    } else if (haveFile) {
      return usageError("extra operand", argument);
    } else {
      line.dataFile = argument;
      haveFile = true;
    }
  }
  return line;
}

int answerRequest(const CommandLine& line, std::ostream& out, std::ostream& err) {
  assert(line.request != Request::kDialogue);
  if (line.request == Request::kUsageError) {
    err << "quadrixel: " << line.problem << " '" << line.argument << "'\n"
        << "Try 'quadrixel --help'.\n";
    return 2;
  }
  if (line.request == Request::kHelp) {
    printHelp(out);
  } else {
    out << "quadrixel " << QUADRIXEL_VERSION << '\n';
  }
  out.flush();
  return out ? 0 : 1;
}

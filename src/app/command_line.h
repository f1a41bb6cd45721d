// The program's command line: `quadrixel [FILE]`, or `--help` (also `-h`)
// or `--version` alone.
//
// FILE names the data file that the answer F reads, instead of the one in
// the current directory; `--` ends the options, so that a name starting
// with '-' can follow it. Options may stand before or after FILE; the first
// argument that settles the run wins, from left to right. An unknown option
// or a second operand is a usage error: one line on standard error naming
// it, a pointer to --help, nothing on standard output and the exit status 2.
//
// The arguments are never copied: the data file's name is argv's own string.
#ifndef QUADRIXEL_APP_COMMAND_LINE_H_
#define QUADRIXEL_APP_COMMAND_LINE_H_

#include <iostream>

// What a command line asks for.
enum class Request { kDialogue, kHelp, kVersion, kUsageError };

struct CommandLine {
  Request request = Request::kDialogue;
  // kDialogue: the data file that the answer F reads.
  const char* dataFile = nullptr;
  // kUsageError: what is wrong ("unknown option") and the argument at fault.
  const char* problem = nullptr;
  const char* argument = nullptr;
};

// Reads the arguments argv[1] .. argv[argc - 1]. Without FILE the data file
// is DATA_FILE_NAME. Requires argc >= 0 and, for argc > 0, argc non-null
// strings in argv.
CommandLine parseCommandLine(int argc, const char* const* argv);

// Answers a request other than kDialogue: the help or the version on `out`,
// the usage error on `err`. Returns the exit status: 0, 1 when `out` could
// not be written, 2 for a usage error.
int answerRequest(const CommandLine& line, std::ostream& out, std::ostream& err);

#endif  // QUADRIXEL_APP_COMMAND_LINE_H_

// Running a program as a child process with chosen surroundings: its
// standard input, standard output and standard error, its working directory,
// a time limit and, for a test started as root, an unprivileged user.
//
// The built program is started through the build's emulator when it has
// one (CMAKE_CROSSCOMPILING_EMULATOR, written into program_emulator.h by
// tests/CMakeLists.txt), so that a cross build runs its programs as CTest
// runs its tests. Other commands, such as a calculator that checks the
// program, run as they are.
//
// The child is started with fork and execv. Everything that needs memory is
// prepared before the fork, and between the two the child only makes system
// calls, so runProgram may be called from several threads at once. The time
// limit is an alarm set in the child: a run that does not end in time dies
// of SIGALRM, and nothing in the parent has to watch the clock.
#ifndef QUADRIXEL_TESTS_SUPPORT_PROGRAM_RUN_H_
#define QUADRIXEL_TESTS_SUPPORT_PROGRAM_RUN_H_

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "program_emulator.h"

// Where the child's standard streams come from and go to. An empty path
// leaves that stream closed.
struct ProgramSurroundings {
  std::string directory;             // working directory
  std::string input;                 // file read as standard input
  std::string output = "/dev/null";  // standard output, opened for writing
  std::string errors;                // standard error, created afresh
  unsigned limitSeconds = 1;         // the run is killed after this long
  // When not -1, the child's standard input or output is this descriptor
  // instead of the file above, such as one end of a pipe whose other end
  // the test holds; the test's end should be close-on-exec. runCommand
  // closes this descriptor in the calling process, so that the child alone
  // holds it.
  int inputDescriptor = -1;
  int outputDescriptor = -1;
  // When the test runs as root, the child runs as user and group 65534
  // (nobody) with no supplementary groups, so that file permissions hold
  // it back; the files above are opened before it gives up root.
  bool unprivileged = false;
};

struct ProgramOutcome {
  bool exited = false;  // ended by itself, with exitStatus
  int exitStatus = -1;  // 127: the command could not be started
  int signal = 0;       // else the signal that ended it (SIGALRM: too slow)
  std::string errors;   // what it wrote on standard error

  bool timedOut() const { return !exited && signal == SIGALRM; }
};

// Describes an outcome for a failure message.
inline std::string describe(const ProgramOutcome& outcome) {
  std::ostringstream text;
  if (outcome.exited) {
    text << "exit status " << outcome.exitStatus;
  } else if (outcome.timedOut()) {
    text << "did not end within its time limit";
  } else {
    text << "killed by signal " << outcome.signal;
  }
  if (!outcome.errors.empty()) text << "; standard error:\n" << outcome.errors;
  return text.str();
}

// The path of the executable file `name` as the shell finds it: `name`
// itself when it holds a '/', else the first match in the directories of
// PATH. Empty when there is none.
inline std::string findExecutable(const std::string& name) {
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
  const char* path = std::getenv("PATH");
  std::string_view directories = path != nullptr ? path : "/usr/bin:/bin";
  for (;;) {
    const std::size_t colon = directories.find(':');
    const std::string_view directory = directories.substr(0, colon);
    const std::string candidate =
        (directory.empty() ? std::string(".") : std::string(directory)) + "/" + name;
    std::error_code error;
    if (access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate, error)) {
      return candidate;
    }
    if (colon == std::string_view::npos) return "";
    directories.remove_prefix(colon + 1);
  }
}

namespace program_run_detail {

// The user and group that an unprivileged child runs as.
constexpr uid_t NOBODY = 65534;

// In the child: opens `path` as descriptor `fd`, or closes `fd` when the
// path is empty. Returns false on failure.
inline bool redirect(int fd, const char* path, int flags) {
  if (path[0] == '\0') {
    close(fd);
    return true;
  }
  const int opened = open(path, flags | O_CLOEXEC, 0600);
  if (opened < 0) return false;
  if (opened == fd) return fcntl(fd, F_SETFD, 0) == 0;
  return dup2(opened, fd) >= 0 && close(opened) == 0;
}

// In the child: makes `from` its descriptor `fd`, open across execv.
// Returns false on failure.
inline bool takeDescriptor(int fd, int from) {
  if (from == fd) return fcntl(fd, F_SETFD, 0) == 0;
  return dup2(from, fd) >= 0;
}

// In the child: gives up root for user and group NOBODY. Returns false on
// failure.
inline bool becomeNobody() {
  return setgroups(0, nullptr) == 0 && setgid(NOBODY) == 0 && setuid(NOBODY) == 0;
}

}  // namespace program_run_detail

// Runs the command `words` (the program, found as findExecutable finds it,
// then its arguments) in the given surroundings and waits for its end.
// `surroundings.errors` must name a writable file.
inline ProgramOutcome runCommand(const std::vector<std::string>& words,
                                 const ProgramSurroundings& surroundings) {
  using program_run_detail::becomeNobody;
  using program_run_detail::redirect;
  using program_run_detail::takeDescriptor;
  ProgramOutcome outcome;
  const std::string executable = words.empty() ? "" : findExecutable(words[0]);
  if (executable.empty()) {
    if (surroundings.inputDescriptor >= 0) close(surroundings.inputDescriptor);
    if (surroundings.outputDescriptor >= 0) close(surroundings.outputDescriptor);
    outcome.exited = true;
    outcome.exitStatus = 127;
    outcome.errors = (words.empty() ? std::string("no command") : words[0]) + ": not found\n";
    return outcome;
  }
  std::vector<char*> argv;
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const bool dropRoot = surroundings.unprivileged && geteuid() == 0;

  const int inputFrom = surroundings.inputDescriptor;
  const int outputFrom = surroundings.outputDescriptor;
  const pid_t child = fork();
  if (child == 0) {
    if (!redirect(STDERR_FILENO, surroundings.errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC) ||
        !(inputFrom >= 0 ? takeDescriptor(STDIN_FILENO, inputFrom)
                         : redirect(STDIN_FILENO, surroundings.input.c_str(), O_RDONLY)) ||
        !(outputFrom >= 0 ? takeDescriptor(STDOUT_FILENO, outputFrom)
                          : redirect(STDOUT_FILENO, surroundings.output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC)) ||
        (dropRoot && !becomeNobody()) || chdir(surroundings.directory.c_str()) != 0) {
      _exit(127);
    }
    alarm(surroundings.limitSeconds);
    execv(executable.c_str(), argv.data());
    _exit(127);
  }
  if (inputFrom >= 0) close(inputFrom);
  if (outputFrom >= 0) close(outputFrom);

  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return outcome;
  outcome.exited = WIFEXITED(status);
  outcome.exitStatus = outcome.exited ? WEXITSTATUS(status) : -1;
  outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  std::ifstream errors(surroundings.errors, std::ios::binary);
  std::ostringstream text;
  text << errors.rdbuf();
  outcome.errors = text.str();
  return outcome;
}

// Runs the built `program` with `arguments`, through the build's emulator
// when it has one, in the given surroundings; see runCommand.
inline ProgramOutcome runProgram(const std::string& program,
                                 const ProgramSurroundings& surroundings,
                                 const std::vector<std::string>& arguments = {}) {
  std::vector<std::string> words = PROGRAM_EMULATOR;
  words.push_back(program);
  words.insert(words.end(), arguments.begin(), arguments.end());
  return runCommand(words, surroundings);
}

#endif  // QUADRIXEL_TESTS_SUPPORT_PROGRAM_RUN_H_

// Running the built program as a child process with chosen surroundings:
// its standard input, standard output, working directory and a time limit.
//
// The child is started with fork and execv; between the two it only makes
// system calls, so runProgram may be called from several threads at once.
// The time limit is an alarm set in the child: a run that does not end in
// time dies of SIGALRM, and nothing in the parent has to watch the clock.
#ifndef QUADRIXEL_TESTS_SUPPORT_PROGRAM_RUN_H_
#define QUADRIXEL_TESTS_SUPPORT_PROGRAM_RUN_H_

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>

// Where the child's standard streams come from and go to. An empty path
// leaves that stream closed.
struct ProgramSurroundings {
  std::string directory;             // working directory
  std::string input;                 // file read as standard input
  std::string output = "/dev/null";  // standard output, opened for writing
  std::string errors;                // standard error, created afresh
  unsigned limitSeconds = 1;         // the run is killed after this long
};

struct ProgramOutcome {
  bool exited = false;  // ended by itself, with exitStatus
  int exitStatus = -1;
  int signal = 0;      // else the signal that ended it (SIGALRM: too slow)
  std::string errors;  // what it wrote on standard error

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

namespace program_run_detail {

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

}  // namespace program_run_detail

// Runs `program` without arguments in the given surroundings and waits for
// its end. `surroundings.errors` must name a writable file.
inline ProgramOutcome runProgram(const std::string& program,
                                 const ProgramSurroundings& surroundings) {
  using program_run_detail::redirect;
  const pid_t child = fork();
  if (child == 0) {
    if (!redirect(STDERR_FILENO, surroundings.errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC) ||
        !redirect(STDIN_FILENO, surroundings.input.c_str(), O_RDONLY) ||
        !redirect(STDOUT_FILENO, surroundings.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC) ||
        chdir(surroundings.directory.c_str()) != 0) {
      _exit(127);
    }
    alarm(surroundings.limitSeconds);
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    execv(program.c_str(), argv);
    _exit(127);
  }

  ProgramOutcome outcome;
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

#endif  // QUADRIXEL_TESTS_SUPPORT_PROGRAM_RUN_H_

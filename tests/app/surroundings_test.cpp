// Runs the built program in surroundings that a user's machine may offer
// but a transcript cannot hold: a data file that is a directory, that may
// not be read, that is a named pipe, that shrinks while the user chooses an
// entry or that fails when it is read again; a standard output that takes
// nothing (/dev/full) or is closed, a closed standard input. Every run must
// end by itself with nothing on standard error; a run that could not write
// its output must end with a status other than 0.
//
// A data file that may not be read holds back only a program that does not
// run as root: when the test runs as root, that run gives up root for user
// 65534 (ProgramSurroundings::unprivileged), so it runs the same for anyone.
// It runs a copy of the program in its working directory, so that only the
// temporary directory has to be open to that user, wherever the build is.
//
// A data file that changes while the user chooses is changed by the test
// itself, which then plays the user: the run's standard input and output are
// pipes, and the test writes the choice only after the reader's prompt has
// come through, having changed the file. Nothing waits on the clock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "support/program_run.h"
#include "support/temp_directory.h"
#include "support/transcript_cases.h"

namespace fs = std::filesystem;

namespace {

const std::string& MENU = DIALOGUE_MENU;
const std::string KEYBOARD_ROAD = "K\n2x2\n4\n7\n2\n6\n\n";
const std::string DATA_FILE = "[M202 4 7 2 6]\n";
const std::string PROMPT = "Input number before the selected data-input (zero to abort):\n";
// The menu, the listing of DATA_FILE and the prompt.
const std::string UP_TO_CHOICE = MENU + "1  [M202 4 7 2 6]\n\n" + PROMPT;

enum class DataFile {
  kNone,
  kRegular,  // DATA_FILE
  kDirectory,
  kUnreadable,  // DATA_FILE, with no read permission for anyone
  kNamedPipe,   // a FIFO that the test fills with DATA_FILE and closes
  kCut,         // DATA_FILE, cut to its first keptBytes at the prompt
  kVanishing,   // the status file of a process, named as DATA_FILE's entry,
                // that ends at the prompt (Linux)
};
enum class Output { kFile, kFull, kClosed };

struct SurroundingsCase {
  const char* name;
  DataFile dataFile;
  bool inputClosed;
  const char* input;
  Output output;
  int exitStatus;
  const char* expected;  // standard output, checked when it goes to a file
  // For a data file that changes at the prompt: the rest of the input,
  // written once the file has changed. The input is then a pipe, and so is
  // the output, whose text is checked as a file's.
  const char* afterPrompt = nullptr;
  int keptBytes = 0;  // kCut
};

// Writes all of `text` to `fd`, or as much as it takes.
void writeAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote <= 0) return;
    done += static_cast<std::size_t>(wrote);
  }
}

// Keeps a run that ends early from killing this process by SIGPIPE when the
// calling thread writes to it: the write fails instead.
void blockSigpipe() {
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
}

// Makes a pipe whose ends are close-on-exec. Returns false on failure.
bool makePipe(int ends[2]) {
  if (pipe(ends) != 0) return false;
  fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  fcntl(ends[1], F_SETFD, FD_CLOEXEC);
  return true;
}

// Plays the user at a run whose standard input is written through `input`
// and whose standard output is read from `output`: writes `before`, reads
// until the data file reader's prompt has come, calls `change`, writes
// `after`, closes `input` and returns all of the output, read to its end.
// An output that ends before the prompt is returned as it is.
std::string converse(int input, int output, const std::string& before, const std::string& after,
                     const std::function<void()>& change) {
  blockSigpipe();
  writeAll(input, before);
  std::string text;
  char chunk[4096];
  for (ssize_t got; (got = read(output, chunk, sizeof chunk)) > 0;) {
    text.append(chunk, static_cast<std::size_t>(got));
    if (input >= 0 && text.size() >= PROMPT.size() &&
        text.compare(text.size() - PROMPT.size(), PROMPT.size(), PROMPT) == 0) {
      change();
      writeAll(input, after);
      close(input);
      input = -1;
    }
  }
  if (input >= 0) close(input);
  close(output);
  return text;
}

// Opens the named pipe `path` for writing, writes `text` and closes it.
// Returns once a reader has opened the pipe and `text` is in it.
void fillNamedPipe(const fs::path& path, const std::string& text) {
  blockSigpipe();
  const int fd = open(path.c_str(), O_WRONLY);
  if (fd < 0) return;
  writeAll(fd, text);
  close(fd);
}

// A child process of this test that does nothing but wait for its end,
// under a name of the test's choosing, the one that Linux shows in
// /proc/PID/status.
class NamedProcess {
 public:
  NamedProcess() = default;
  NamedProcess(const NamedProcess&) = delete;
  NamedProcess& operator=(const NamedProcess&) = delete;
  ~NamedProcess() { end(); }

  // Starts the process named `name` (at most 15 characters); false when it
  // could not be started. The name is the calling thread's for the moment
  // of the fork, which hands it on.
  bool start(const char* name) {
    int hold[2];
    if (!makePipe(hold)) return false;
#ifdef __linux__
    char ownName[16] = {};
    prctl(PR_GET_NAME, ownName, 0, 0, 0);
    prctl(PR_SET_NAME, name, 0, 0, 0);
#endif
    pid_ = fork();
    if (pid_ == 0) {
      close(hold[1]);
      char c = 0;
      while (read(hold[0], &c, 1) > 0) {
      }
      _exit(0);
    }
#ifdef __linux__
    prctl(PR_SET_NAME, ownName, 0, 0, 0);
#endif
    close(hold[0]);
    hold_ = hold[1];
    return pid_ > 0;
  }

  pid_t pid() const { return pid_; }

  // Ends the process and waits until it is gone, and /proc/PID with it.
  void end() {
    if (hold_ >= 0) close(hold_);
    hold_ = -1;
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int hold_ = -1;  // the process waits until this end of a pipe is closed
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
  NamedProcess vanishing;
  if (c.dataFile == DataFile::kDirectory) {
    fs::create_directory(dataFile);
  } else if (c.dataFile == DataFile::kNamedPipe) {
    ASSERT_EQ(mkfifo(dataFile.c_str(), 0600), 0);
  } else if (c.dataFile == DataFile::kVanishing) {
    ASSERT_TRUE(vanishing.start("[M202 4 7 2 6]"));
    fs::create_symlink("/proc/" + std::to_string(vanishing.pid()) + "/status", dataFile);
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

  // The test's side of the run: the user at the console, or the writer of
  // the named pipe.
  std::thread other;
  std::string conversation;
  if (c.afterPrompt != nullptr) {
    int input[2];
    int output[2];
    ASSERT_TRUE(makePipe(input));
    ASSERT_TRUE(makePipe(output));
    surroundings.inputDescriptor = input[0];
    surroundings.outputDescriptor = output[1];
    const std::function<void()> change = [&] {
      if (c.dataFile == DataFile::kCut) fs::resize_file(dataFile, c.keptBytes);
      if (c.dataFile == DataFile::kVanishing) vanishing.end();
    };
    other = std::thread([&c, &conversation, change, in = input[1], out = output[0]] {
      conversation = converse(in, out, c.input, c.afterPrompt, change);
    });
  } else if (c.dataFile == DataFile::kNamedPipe) {
    other = std::thread([&dataFile] { fillNamedPipe(dataFile, DATA_FILE); });
  }
  const ProgramOutcome outcome = runProgram(program.string(), surroundings);
  if (c.dataFile == DataFile::kNamedPipe) {
    // A run that never opened the pipe leaves its writer waiting for a
    // reader: this one lets it finish.
    const int reader = open(dataFile.c_str(), O_RDONLY | O_NONBLOCK);
    other.join();
    if (reader >= 0) close(reader);
  } else if (other.joinable()) {
    other.join();
  }

  EXPECT_TRUE(outcome.exited && outcome.exitStatus == c.exitStatus && outcome.errors.empty())
      << describe(outcome);
  if (c.output == Output::kFile) {
    const std::string output =
        c.afterPrompt != nullptr ? conversation : readWholeFile(work / "output");
    EXPECT_EQ(output, c.expected);
  }
}

TEST(Surroundings, ProgramEndsAndReportsFailedOutput) {
  const std::string cannotRead = MENU + "Cannot read file MatrixDataFile2.txt\n";
  const std::string cannotReadAgain = UP_TO_CHOICE + "Cannot read file MatrixDataFile2.txt\n";
  const std::string changed =
      UP_TO_CHOICE + "Data file MatrixDataFile2.txt changed since it was listed\n";
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
      {"data file is a named pipe, which cannot be read twice", DataFile::kNamedPipe, false,
       "F\n1\n\n", Output::kFile, 0, cannotReadAgain.c_str()},
      {"data file emptied at the prompt", DataFile::kCut, false, "F\n", Output::kFile, 0,
       changed.c_str(), "1\n\n", 0},
      {"data file cut after the chosen entry's '['", DataFile::kCut, false, "F\n", Output::kFile,
       0, changed.c_str(), "1\n\n", 1},
      {"data file cut inside the chosen entry", DataFile::kCut, false, "F\n", Output::kFile, 0,
       changed.c_str(), "1\n\n", 8},
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

TEST(Surroundings, DataFileThatFailsWhenReadAgain) {
#ifdef __linux__
  // A process's status file can be listed, and once the process is gone,
  // read no more.
  const std::string cannotReadAgain = UP_TO_CHOICE + "Cannot read file MatrixDataFile2.txt\n";
  runCase({"data file fails when it is read again", DataFile::kVanishing, false, "F\n",
           Output::kFile, 0, cannotReadAgain.c_str(), "1\n\n"});
#else
  GTEST_SKIP() << "the data file that fails is a process's status file in Linux's /proc";
#endif
}

}  // namespace

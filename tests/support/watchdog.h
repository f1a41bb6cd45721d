// A time limit on a stretch of a test that runs in the test's own process,
// where no child process can be killed in its place: when the stretch has
// not ended in time, the watchdog prints its message and ends the whole
// process with status 1, so that a hang fails the test instead of stalling
// the suite.
//
// The watchdog is a thread that waits for its stop or its deadline; the
// clock starts when the object is made.
#ifndef QUADRIXEL_TESTS_SUPPORT_WATCHDOG_H_
#define QUADRIXEL_TESTS_SUPPORT_WATCHDOG_H_

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

class Watchdog {
 public:
  // Starts the clock: after `limit`, unless destroyed before, prints
  // `message` and a line end on standard error and ends the process.
  Watchdog(std::chrono::seconds limit, std::string message)
      : message_(std::move(message)), thread_([this, limit] { watch(limit); }) {}

  // Stops the clock.
  ~Watchdog() {
    {
      const std::lock_guard<std::mutex> guard(lock_);
      stopped_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  void watch(std::chrono::seconds limit) {
    std::unique_lock<std::mutex> hold(lock_);
    if (wake_.wait_for(hold, limit, [this] { return stopped_; })) return;
    std::fprintf(stderr, "%s\n", message_.c_str());
    std::fflush(stderr);
    std::_Exit(1);
  }

  std::mutex lock_;
  std::condition_variable wake_;
  bool stopped_ = false;
  const std::string message_;
  std::thread thread_;  // last, so that it starts after everything above
};

#endif  // QUADRIXEL_TESTS_SUPPORT_WATCHDOG_H_

#include "matrix/work_sharing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <system_error>

namespace {

void countRun(void* context) { static_cast<std::atomic<int>*>(context)->fetch_add(1); }

// The work runs once on each of the threads asked for, the caller's own among
// them; when a helper cannot be started, no later one is tried, and the work
// runs on the caller and the helpers that did start.
TEST(RunOnThreads, RunsTheWorkOnceOnEveryThreadThatStarts) {
  for (const int threads : {1, 2, 5, WORK_THREADS_MAX}) {
    std::atomic<int> runs{0};
    runOnThreads(threads, countRun, &runs);
    EXPECT_EQ(runs.load(), threads) << threads << " threads";
  }
  static std::atomic<int> startsTried{0};
  startsTried = 0;
  const ThreadStartHook failFromTwo = [](int helper) {
    startsTried.fetch_add(1);
    if (helper >= 2)
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  };
  std::atomic<int> runs{0};
  runOnThreads(5, countRun, &runs, failFromTwo);
  EXPECT_EQ(runs.load(), 3);
  EXPECT_EQ(startsTried.load(), 3);
}

}  // namespace

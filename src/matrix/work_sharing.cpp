#include "matrix/work_sharing.h"

#include <cassert>
#include <chrono>
#include <system_error>
#include <thread>

namespace {

// How long a helper sleeps before it starts on its work. A new thread is
// often put on its creator's core, which the creator keeps busy, and some
// systems leave it there for many milliseconds (a shared order-12 walk took
// about 35 ms instead of 26 on two cores); a thread that wakes from a sleep
// is put on an idle core if there is one.
constexpr std::chrono::microseconds HELPER_PAUSE{50};

// A helper's life: the pause, then the work.
void runHelper(void (*work)(void*), void* context) {
  std::this_thread::sleep_for(HELPER_PAUSE);
  work(context);
}

// Starts `helper` on work(context), after calling `beforeStart` (when not
// null) with `number`, and returns true; returns false when the system
// cannot start the thread. std::thread reports that only by throwing
// std::system_error, so this is the one place where the program catches an
// exception: letting it escape would abort the program and lose the output
// still buffered, while the threads already running and the caller can do
// all of the work between them.
bool startHelper(std::thread& helper, int number, ThreadStartHook beforeStart, void (*work)(void*),
                 void* context) {
  try {
    if (beforeStart != nullptr) beforeStart(number);
    helper = std::thread(runHelper, work, context);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace

void runOnThreads(int threads, void (*work)(void* context), void* context,
                  ThreadStartHook beforeStart) {
  assert(threads >= 1 && threads <= WORK_THREADS_MAX);
  assert(work != nullptr);
  std::thread helpers[WORK_THREADS_MAX - 1];
  int started = 0;
  while (started + 1 < threads &&
         startHelper(helpers[started], started, beforeStart, work, context)) {
    ++started;
  }
  work(context);
  for (int t = 0; t < started; ++t) helpers[t].join();
}

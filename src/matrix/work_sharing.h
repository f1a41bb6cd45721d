// One piece of work run on several threads at once, for the walks that are
// shared among the processor's cores (the cofactors of the adjoint, the
// parts of a large determinant).
//
// Every thread runs the same work function on the same context; the work
// takes its own share from the context, typically by claiming numbered
// items from an atomic counter until none is left. So a thread that the
// system cannot start is done without: the threads that run, the caller's
// own among them, take its share, and the result does not depend on how
// many ran.
#ifndef QUADRIXEL_MATRIX_WORK_SHARING_H_
#define QUADRIXEL_MATRIX_WORK_SHARING_H_

// Called before each helper thread is started, with its number 0, 1, ...;
// for tests, it may throw std::system_error, as std::thread does when the
// system cannot start a thread. No later start is then tried.
using ThreadStartHook = void (*)(int helper);

// Most threads that runOnThreads starts, the caller's own among them.
inline constexpr int WORK_THREADS_MAX = 64;

// Runs work(context) on `threads` threads, the caller's own among them, and
// returns when every one has returned. Requires 1 <= threads <=
// WORK_THREADS_MAX and work not null; `beforeStart` may be null.
void runOnThreads(int threads, void (*work)(void* context), void* context,
                  ThreadStartHook beforeStart = nullptr);

#endif  // QUADRIXEL_MATRIX_WORK_SHARING_H_

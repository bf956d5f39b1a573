// The one road from a worker thread to the user-interface thread: the worker hands over
// a call and waits until the user-interface thread has run it. The user-interface thread
// runs handed-over calls from its message loop, and also while it waits for a worker to
// end, so that a worker handing over a call on its way out never deadlocks the join.
#pragma once

#include <windows.h>

#include <functional>

namespace ui {

// Must be called once on the user-interface thread before any worker hands over a call.
void InitSynchronize();
bool OnUiThread();

// Runs fn on the user-interface thread and returns when it has run (at once when called
// on that thread). An exception fn lets escape is shown by the general error report.
void Synchronize(const std::function<void()>& fn);
// The same, calling whileWaiting on the worker every everyMs until fn has run: for a
// worker that has to keep watch over something while the user-interface thread is busy.
void Synchronize(const std::function<void()>& fn, const std::function<void()>& whileWaiting, DWORD everyMs);

// Queues fn to run later on the user-interface thread, from its message loop (never from
// inside WaitForThread), and returns at once. For work that must not run where it is
// asked for, such as joining the worker whose handed-over call is running.
void Post(std::function<void()> fn);

// Waits on the user-interface thread until the thread ends, running handed-over calls
// meanwhile. Returns false if it did not end within timeoutMs.
bool WaitForThread(HANDLE thread, DWORD timeoutMs = INFINITE);

// Runs the calls that are waiting; the message loop does this on its own.
void RunPendingCalls();

}  // namespace ui

#pragma once

#include <functional>
#include <utility>

// Runs work (a search or an exchange with a device) on a worker thread while the calling thread waits in
// a local event loop: the windows repaint and show the wait cursor, but every click, key press and close
// request that arrives meanwhile is dropped, so nothing the person does runs during or after the wait.
// The protocol layer is only touched by the worker while this runs.
void RunWithoutInput(const std::function<void()> &work);

// The same for a protocol call with a result.
template <class Work> auto RunExchange(Work work) -> decltype(work())
{
    decltype(work()) result{};
    RunWithoutInput([&result, &work] { result = work(); });
    return result;
}

// Called from the work of RunWithoutInput: runs `task` on the window thread and returns when it is done.
// Input and the ordinary cursor come back for its time, so that it can ask the person (a login dialog
// for a mount). Called on the window thread itself, it just runs the task.
void RunOnWindowThread(const std::function<void()> &task);

// True while RunWithoutInput waits (tests look at it; nested waits are not made).
bool IsWaitingForExchange();

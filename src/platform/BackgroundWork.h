#pragma once

#include "platform/Progress.h"

#include <exception>
#include <functional>
#include <memory>

namespace zelvora {

// The Progress that work running beside the event loop is given.
class WorkProgress : public Progress {
public:
    // Runs `task` on the user interface's thread, after everything reported before it: for what
    // the work shows beyond its progress (the games an update finds).
    virtual void Post(std::function<void()> task) = 0;
};

// Runs long work (a collection check, the update, a game) on a thread of its own and returns once
// it has ended, the calling thread, the user interface's, running its ordinary event loop
// meanwhile: windows repaint, and the user can reach Cancel.
//
// What the work reports reaches `shown` on the calling thread, in order; the progress bar's value
// is shown every few milliseconds and at the end. The work asks `shown.Cancelled()` from its own
// thread, so that must be safe there (an atomic flag).
//
// The work touches no window and asks the user nothing: whatever needs the user interface's
// thread (a message, a refill of the list) is done once this has returned. Nothing on the calling
// thread may use what the work uses (the catalogue's connection) until then: the caller keeps the
// windows that could use it modal-blocked or disabled. An exception the work throws is thrown
// again here, on the calling thread, once the work has ended.
void RunBesideEvents(Progress& shown, const std::function<void(WorkProgress&)>& work);

// Work that runs on a thread of its own while the user goes on using the windows (the audit of
// the ROM sets): starting it returns at once. What it reports reaches `shown` on the calling
// thread, as RunBesideEvents's work does, and its tasks posted there run there; so whatever the
// work hands the catalogue is written on the calling thread, between the user's own steps.
// `ended` runs on the calling thread once the work has ended and everything it reported has been
// shown, with the exception it threw, if any; it must not destroy the job.
class BackgroundJob {
public:
    BackgroundJob(Progress& shown, std::function<void(WorkProgress&)> work,
                  std::function<void(std::exception_ptr)> ended);
    // Waits for the work (Wait): its owner asks it to stop first.
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Returns once the work has ended and `ended` has run, the calling thread's events running
    // meanwhile.
    void Wait();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace zelvora

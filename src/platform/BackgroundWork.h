#pragma once

#include "platform/Progress.h"

#include <functional>

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

} // namespace zelvora

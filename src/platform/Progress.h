#pragma once

#include <QString>

namespace zelvora {

// What a long job (the catalogue update, the collection checks) tells the window that shows it.
// The job runs on a thread of its own (RunBesideEvents): what it reports reaches the window on the
// window's thread, and Cancelled may be asked from the job's thread.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void SetText(const QString& text) = 0;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetValue(int value) = 0;
    // Work that can stop half-way (a run of MAME, the update) says so before it starts, so that
    // the window offers a Cancel, and asks at each step whether the user has used it.
    virtual void OfferCancel() {}
    virtual bool Cancelled() const { return false; }
};

// Reports to nobody; for callers that need no window.
class NoProgress : public Progress {
public:
    void SetText(const QString&) override {}
    void SetRange(int, int) override {}
    void SetValue(int) override {}
};

} // namespace zelvora

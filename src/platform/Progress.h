#pragma once

#include <QString>

namespace zelvora {

// What a long job on the user-interface thread (the catalogue update, the collection checks)
// tells the window that shows it. The job calls LetEventsRun once per step so that the window
// repaints; the window decides what else may run meanwhile.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void SetText(const QString& text) = 0;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetValue(int value) = 0;
    virtual void LetEventsRun() = 0;
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
    void LetEventsRun() override {}
};

} // namespace zelvora

#pragma once

class QRect;
class QWidget;

namespace zelvora {

// Where the program's windows open: over the window the user is looking at, never in a corner of
// the screen.

// Moves `window` so that its frame is centred over `area` (a window's frame geometry), or over
// its screen's available area when `area` is empty, and lies inside that screen's available area
// as far as it fits.
void CentreOver(QWidget* window, const QRect& area);
// The same over `owner`'s frame, or over the screen when there is no owner.
void CentreOver(QWidget* window, const QWidget* owner);

// Centres `window` over `owner` (or the screen) when it is next shown, with the size it has then.
// The owner is looked at only then; an owner gone by that time leaves the screen's centre.
void CentreWhenShown(QWidget* window, const QWidget* owner);

// Makes `window` one of `owner`'s windows: parented to it, keeping its own window flags, so that
// the window manager keeps it above the owner and minimises it with the owner, and centred over
// the owner when it is next shown.
void OpenOver(QWidget* window, QWidget* owner);

} // namespace zelvora

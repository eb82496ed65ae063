#include "gamelist/KeyCodes.h"

namespace zelvora {

namespace {

// The punctuation keys of a US keyboard, each under its unshifted and its shifted character.
struct OemKey {
    int qtKey;
    int code;
};

constexpr OemKey kOemKeys[] = {
    {Qt::Key_Semicolon, 186},  {Qt::Key_Colon, 186},      {Qt::Key_Equal, 187},        {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},      {Qt::Key_Less, 188},       {Qt::Key_Minus, 189},        {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},     {Qt::Key_Greater, 190},    {Qt::Key_Slash, 191},        {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},  {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},  {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},  {Qt::Key_Bar, 220},        {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222}, {Qt::Key_QuoteDbl, 222},
};

} // namespace

int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers) {
    // Qt reports a letter as its capital whatever the shift state, which is the virtual-key code.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return KeyCode::F1 + (qtKey - Qt::Key_F1);

    switch (qtKey) {
    case Qt::Key_Backspace:
        return KeyCode::Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return KeyCode::Tab;
    case Qt::Key_Clear:
        return KeyCode::Clear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyCode::Enter;
    case Qt::Key_Shift:
        return KeyCode::Shift;
    case Qt::Key_Control:
        return KeyCode::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return KeyCode::Alt;
    case Qt::Key_Pause:
        return KeyCode::Pause;
    case Qt::Key_CapsLock:
        return KeyCode::CapsLock;
    case Qt::Key_Escape:
        return KeyCode::Escape;
    case Qt::Key_Space:
        return KeyCode::Space;
    case Qt::Key_PageUp:
        return KeyCode::PageUp;
    case Qt::Key_PageDown:
        return KeyCode::PageDown;
    case Qt::Key_End:
        return KeyCode::End;
    case Qt::Key_Home:
        return KeyCode::Home;
    case Qt::Key_Left:
        return KeyCode::Left;
    case Qt::Key_Up:
        return KeyCode::Up;
    case Qt::Key_Right:
        return KeyCode::Right;
    case Qt::Key_Down:
        return KeyCode::Down;
    case Qt::Key_Print:
        return KeyCode::PrintScreen;
    case Qt::Key_Insert:
        return KeyCode::Insert;
    case Qt::Key_Delete:
        return KeyCode::Delete;
    case Qt::Key_NumLock:
        return KeyCode::NumLock;
    case Qt::Key_ScrollLock:
        return KeyCode::ScrollLock;
    default:
        break;
    }

    for (const OemKey& key : kOemKeys) {
        if (key.qtKey == qtKey)
            return key.code;
    }
    // The Windows and menu keys are left out on purpose: their codes 91..93 read as '[', '\' and
    // ']' and would start a type-ahead search.
    return 0;
}

} // namespace zelvora

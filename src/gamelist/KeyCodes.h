#pragma once

#include <Qt>

namespace zelvora {

// The grid's keyboard handling works in Windows virtual-key codes: letters are their capitals'
// codes, the digit row its digits' codes, and the command keys have the numbers below.
namespace KeyCode {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Clear = 12;
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Alt = 18;
inline constexpr int Pause = 19;
inline constexpr int CapsLock = 20;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int PrintScreen = 44;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int F1 = 112;
inline constexpr int F5 = 116;
inline constexpr int F12 = 123;
inline constexpr int F24 = 135;
inline constexpr int NumLock = 144;
inline constexpr int ScrollLock = 145;

// A key that typed a character but has no code of its own ("(", "é"); beyond every real code, so
// that no command key is taken for it.
inline constexpr int Typed = 0x10000;

// F1 + n - 1 for F1..F24.
constexpr int Function(int n) {
    return F1 + n - 1;
}
} // namespace KeyCode

// The virtual-key code of a key event's Qt key, or 0 for a key that has none (media keys, the
// Windows and menu keys, symbols that only exist as a shifted digit).
//
// The keypad's digits give the digit row's codes 48..57 rather than the keypad's own 96..105, and
// its operators give the main keyboard's codes for the same characters, so that nothing typed on
// the keypad reaches the type-ahead search as a letter. The modifiers are part of the signature
// because a key event comes as the pair; none of them changes the code.
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

} // namespace zelvora

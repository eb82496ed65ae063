#include "gamelist/KeyCodes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zelvora;

// The keys the grid acts on; the keypad gives the same codes as the main keyboard, so no
// modifier changes them.
TEST(VirtualKeyCode, TranslatesTheGridsKeys) {
    const std::pair<int, int> cases[] = {
        {Qt::Key_A, 'A'},     {Qt::Key_Z, 'Z'},    {Qt::Key_0, '0'},   {Qt::Key_9, '9'},
        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Home, 36}, {Qt::Key_End, 35},
        {Qt::Key_Delete, 46}, {Qt::Key_F5, 116},   {Qt::Key_F12, 123}, {Qt::Key_VolumeUp, 0},
    };
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::KeypadModifier)})
        for (const auto& [key, code] : cases)
            EXPECT_EQ(VirtualKeyCode(key, modifiers), code) << "Qt key 0x" << std::hex << key;
}

// Whatever else a key maps to, only letters and digits may come out as a code the type-ahead
// search takes for a letter or digit ('0'..'z' once folded, apart from the function keys).
TEST(VirtualKeyCode, NothingButLettersAndDigitsReachesTheSearchRange) {
    std::vector<int> keys = {Qt::Key_Meta, Qt::Key_Super_L, Qt::Key_Super_R, Qt::Key_Menu, Qt::Key_AltGr};
    for (const auto& [first, last] :
         {std::pair{0x20, 0x7e}, {Qt::Key_Escape, Qt::Key_ScrollLock}, {Qt::Key_F1, Qt::Key_F35}})
        for (int k = first; k <= last; ++k)
            keys.push_back(k);
    for (int key : keys) {
        const int code = VirtualKeyCode(key, Qt::KeypadModifier);
        if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
            EXPECT_EQ(code, key);
        else
            EXPECT_TRUE((code >= 112 && code <= 123) || code < '0' || code > 'z')
                << "Qt key 0x" << std::hex << key << " gives " << std::dec << code;
    }
}

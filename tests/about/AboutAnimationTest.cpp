#include "about/AboutAnimation.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace zelvora;

TEST(AboutAnimation, TwoCyclesOfTheBlinkTable) {
    // What pictures 2, 3, 4 and 5 show after each tick (1 shown, 0 hidden), all shown before the
    // first; picture 5 keeps its state on the first tick of a cycle.
    const char* const expected[] = {"0101", "1100", "1011", "1010", "0100", "1100", "1011", "1010"};
    std::array<bool, 4> shown{true, true, true, true};
    AboutAnimation animation;
    for (int tick = 0; tick < 8; ++tick) {
        const AboutAnimation::Frame frame = animation.Tick();
        const std::optional<bool> changes[] = {frame.image2, frame.image3, frame.image4, frame.image5};
        std::string marks;
        for (size_t i = 0; i < 4; ++i) {
            shown[i] = changes[i].value_or(shown[i]);
            marks += shown[i] ? '1' : '0';
        }
        EXPECT_EQ(marks, expected[tick]) << "tick " << tick + 1;
    }
}

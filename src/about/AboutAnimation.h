#pragma once

#include <optional>

namespace zelvora {

// The About box's blinking pictures. Each tick advances two counters that both run 1, 2, 3, 4,
// 1, ... and says which of the four pictures to show or hide; the pattern repeats every four
// ticks.
class AboutAnimation {
public:
    // Which pictures a tick shows (true) or hides (false); an empty one keeps its state.
    struct Frame {
        std::optional<bool> image2, image3, image4, image5;
    };

    Frame Tick();

    int StepA = 0;
    int StepB = 0;
};

} // namespace zelvora

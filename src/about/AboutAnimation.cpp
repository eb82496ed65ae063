#include "about/AboutAnimation.h"

namespace zelvora {

AboutAnimation::Frame AboutAnimation::Tick() {
    Frame frame;
    if (++StepB == 5)
        StepB = 1;
    // The second and third pictures take turns, two ticks each.
    const bool firstHalf = StepB == 1 || StepB == 2;
    frame.image4 = !firstHalf;
    frame.image3 = firstHalf;

    if (++StepA == 5)
        StepA = 1;
    switch (StepA) {
    case 1:
        frame.image2 = false;
        break;
    case 2:
    case 4:
        frame.image2 = true;
        frame.image5 = false;
        break;
    case 3:
        frame.image5 = true;
        break;
    }
    return frame;
}

} // namespace zelvora

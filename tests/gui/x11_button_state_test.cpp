#include "button_state.h"
#include "x11_button_state.h"

#include <gtest/gtest.h>
// After GoogleTest: X.h defines None.
#include <X11/X.h>

TEST(X11ButtonState, ButtonsAndModifiersBecomeTheControlsWordsAndSuperCountsAsAlt) {
    struct Row {
        unsigned state;
        int32_t word;
    };
    const Row rows[] = {
        {Button1Mask, kLButton},
        {Button3Mask | ShiftMask, kRButton | kShift},
        {Button1Mask | ControlMask, kLButton | kControl},
        {Button1Mask | Mod1Mask, kLButton | kAlt},
        {Button1Mask | Mod4Mask, kLButton | kAlt},
        {Button1Mask | Mod1Mask | Mod4Mask | ShiftMask, kLButton | kAlt | kShift},
        {Button2Mask | LockMask | Mod2Mask, kMButton}, // Caps Lock, Num Lock: ignored
    };
    for (const Row& r : rows) EXPECT_EQ(buttonsOfX11State(r.state), r.word) << r.state;
    EXPECT_EQ(modifiersOfX11State(Button1Mask | Mod4Mask), kAlt);
}

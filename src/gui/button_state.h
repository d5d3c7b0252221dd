// The button-state word of a mouse event: buttons, modifier keys and the
// double-click flag. The values are the ones the editor's controls store.
#pragma once

#include <cstdint>

enum CButton : int32_t {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    kApple = 1 << 7,
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10,
    kMouseWheelInverted = 1 << 11,
};

inline constexpr int32_t kButtonMask = kLButton | kMButton | kRButton;
inline constexpr int32_t kModifierMask = kShift | kControl | kAlt | kApple;

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

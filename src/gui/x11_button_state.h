// How the X server's pointer and key state bits become the toolkit's
// button-state word. Alt is Mod1, and Super (Mod4) counts as Alt too:
// many window managers keep Alt+drag for moving windows, so Super+drag is
// the way to reach the controls' Alt gestures there.
#pragma once

#include <cstdint>

// Shift, Control and Alt of an X state field.
int32_t modifiersOfX11State(unsigned state);
// The same plus the left, middle and right buttons held.
int32_t buttonsOfX11State(unsigned state);

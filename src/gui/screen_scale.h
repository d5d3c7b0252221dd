// Whether the user's screen asks for double-size windows: GDK_SCALE=2, or
// an X server whose Xft.dpi is 144 or more (what desktops set for HiDPI
// screens). Asked once per process; false without a display.
#pragma once

bool screenWantsDoubleSize();

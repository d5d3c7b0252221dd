// Cairo and fontconfig keep font caches for the life of the process. A
// program that wants a leak-free exit (tests under the leak checker) calls
// this once at the end, after every frame and bitmap is gone.
#pragma once

void releaseFontCaches();

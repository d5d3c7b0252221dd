// One octave of keys as the two keyboards lay it out, in units at 100 %:
// every key has an upper zone from the top of the keyboard down to the
// upper height; the white keys also have a lower zone from there down to
// the key height. The lower zones leave one unit between white keys.
#pragma once

#include "geometry.h"

struct KeyColumns {
    double upperLeft, upperRight;
    double lowerLeft, lowerRight; // equal for black keys: no lower zone
};

inline constexpr KeyColumns kOctaveKeys[12] = {
    {0, 5, 0, 9},     {5, 12, 0, 0},    {12, 18, 10, 19}, {18, 24, 0, 0},
    {24, 30, 20, 30}, {30, 36, 30, 39}, {36, 41, 0, 0},   {41, 47, 40, 49},
    {47, 53, 0, 0},   {53, 58, 50, 59}, {58, 64, 0, 0},   {64, 70, 60, 70},
};
inline constexpr int kOctaveUnits = 70;

inline bool isBlackKey(int pitchClass) {
    return kOctaveKeys[pitchClass].lowerLeft == kOctaveKeys[pitchClass].lowerRight;
}

// The zones of a key whose octave starts at origin; heights and scale in
// pixels. A black key's lower zone is empty.
struct KeyZones {
    CRect upper;
    CRect lower;
    bool contains(const CPoint& p) const { return upper.pointInside(p) || lower.pointInside(p); }
};

inline KeyZones keyZones(int pitchClass, CPoint origin, double scale, double upperHeight,
                         double keyHeight) {
    const KeyColumns& k = kOctaveKeys[pitchClass];
    KeyZones z;
    z.upper = CRect(origin.x + k.upperLeft * scale, origin.y, origin.x + k.upperRight * scale,
                    origin.y + upperHeight);
    if (k.lowerRight > k.lowerLeft)
        z.lower = CRect(origin.x + k.lowerLeft * scale, origin.y + upperHeight,
                        origin.x + k.lowerRight * scale, origin.y + keyHeight);
    return z;
}

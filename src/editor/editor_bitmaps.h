// The editor's own bitmaps, loaded for one scale at a time: the 100 % set
// by resource id, the 200 % set by id + 20000. The note-editing controls
// and the value displays load theirs themselves.
#pragma once

#include "cbitmap.h"

#include <array>
#include <cstdint>

class EditorBitmaps {
public:
    static constexpr std::array<int32_t, 27> kIds = {
        128, 1129, 1130, 1131, 1132, 1135, 1136, 1137, 1138, 1139, 1140, 1141, 129, 130,
        131, 132,  135,  136,  137,  139,  143,  145,  146,  147,  148,  149,  150};

    EditorBitmaps() = default;
    ~EditorBitmaps() { release(); }
    EditorBitmaps(const EditorBitmaps&) = delete;
    EditorBitmaps& operator=(const EditorBitmaps&) = delete;

    // Releases what is loaded and loads the set of the scale (1 or 2).
    void load(int32_t scale);
    void release();
    // The bitmap of a 100 % id, in the loaded scale; null for other ids.
    CBitmap* operator[](int32_t id) const;

private:
    std::array<CBitmap*, kIds.size()> bitmaps{};
};

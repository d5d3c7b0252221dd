// Every bitmap the editor uses: resource id, size at 100 % and the number
// of states stacked vertically. The 200 % twin (id + 20000) is exactly
// twice as large. The generator draws from this list; the tests check it.
#pragma once

#include <cstdint>

enum class BitmapLook : uint8_t {
    FrameBackground,
    SectionBackground,
    Button,       // push buttons and menu buttons: released, pressed
    Switch,       // on/off switches: off, on
    Knob,         // film strip
    LaneSelector, // one image per chosen lane
    ScaleDegrees, // seven cells: all off, all on
    FontStrip,
    PianoOctave, // keys, then the same keys highlighted
    ArpKeys,     // one row per note-prevent rule
    StepSwitch,
    StepBar,
    StepColumns,
    LoopStrip,
    SequenceCells, // plain, marked, selected
};

struct BitmapEntry {
    int32_t id;
    int32_t width;
    int32_t height;
    int32_t states;
    BitmapLook look;
    // The word on buttons, or "#name" for a drawn symbol; switches without
    // one leave their middle clear for the label on the background.
    const char* label;
};

inline constexpr BitmapEntry kBitmapCatalogue[] = {
    {128, 593, 580, 1, BitmapLook::FrameBackground, "ZANDREL"},
    {1129, 19, 44, 2, BitmapLook::Switch, "#lock"},
    {1130, 55, 36, 2, BitmapLook::Switch, ""},
    {1131, 18, 30, 2, BitmapLook::Button, "<"},
    {1132, 18, 30, 2, BitmapLook::Button, ">"},
    {1133, 620, 12, 1, BitmapLook::FontStrip, ""},
    {1135, 23, 116, 2, BitmapLook::Switch, "OCT"},
    {1136, 18, 28, 2, BitmapLook::Switch, "#list"},
    {1137, 58, 48, 2, BitmapLook::Button, "Chords"},
    {1138, 58, 48, 2, BitmapLook::Switch, "Input"},
    {1139, 58, 48, 2, BitmapLook::Button, "Snapshot"},
    {1140, 58, 48, 2, BitmapLook::Button, "Restore"},
    {1141, 58, 48, 2, BitmapLook::Button, "Random"},
    {129, 28, 3720, 120, BitmapLook::Knob, ""},
    {130, 55, 36, 2, BitmapLook::Switch, ""},
    {131, 18, 30, 2, BitmapLook::Button, "<"},
    {132, 18, 30, 2, BitmapLook::Button, ">"},
    {135, 593, 355, 1, BitmapLook::SectionBackground, "ARPEGGIATOR"},
    {136, 593, 188, 1, BitmapLook::SectionBackground, "CHORDS"},
    {137, 18, 30, 2, BitmapLook::Button, "#save"},
    {139, 18, 30, 2, BitmapLook::Button, "#save"},
    {143, 575, 136, 8, BitmapLook::LaneSelector, ""},
    {145, 140, 34, 2, BitmapLook::ScaleDegrees, ""},
    {146, 20, 40, 2, BitmapLook::Switch, "#speaker"},
    {147, 34, 34, 2, BitmapLook::Button, "Copy"},
    {148, 34, 34, 2, BitmapLook::Button, "Paste"},
    {149, 34, 34, 2, BitmapLook::Button, "Rand"},
    {150, 20, 40, 2, BitmapLook::Switch, "#tie"},
    // The note-editing controls' own images.
    {1150, 70, 118, 2, BitmapLook::PianoOctave, ""},
    {1151, 70, 172, 4, BitmapLook::ArpKeys, ""},
    {1152, 36, 22, 2, BitmapLook::StepSwitch, ""},
    {1153, 36, 208, 1, BitmapLook::StepBar, ""},
    {1154, 36, 208, 1, BitmapLook::StepBar, "2"},
    {1155, 36, 233, 1, BitmapLook::StepColumns, "A"},
    {1156, 36, 233, 1, BitmapLook::StepColumns, "B"},
    {1157, 36, 12, 1, BitmapLook::LoopStrip, ""},
    {1158, 240, 51, 3, BitmapLook::SequenceCells, ""},
};

// Columns of the glyphs in the font strip 1133 at 100 %: glyph g (character
// 32 + g) spans kFontStripColumns[g] to kFontStripColumns[g + 1].
inline constexpr int32_t kFontStripColumns[96] = {
    1,   6,   12,  18,  26,  33,  44,  53,  56,  59,  63,  68,  75,  79,  83,  85,
    89,  96,  102, 109, 116, 123, 130, 137, 144, 151, 158, 162, 166, 173, 181, 188,
    195, 206, 215, 223, 231, 239, 247, 254, 263, 271, 274, 280, 288, 295, 304, 312,
    321, 329, 338, 345, 353, 361, 368, 375, 386, 393, 400, 408, 410, 414, 418, 423,
    429, 434, 441, 448, 455, 462, 469, 474, 481, 487, 490, 495, 501, 504, 514, 521,
    529, 536, 543, 548, 555, 560, 566, 572, 581, 587, 594, 601, 606, 609, 614, 620};

#include "chord_naming.h"

#include "root_analysis.h"

#include <cstring>

namespace {
const char kLetters[] = "CCDDEFFGGAAB";
const char kAccidentals[] = " # #  # # # ";

const char* qualityWord(int interval, ChordNameForm form) {
    switch (interval) {
    case 3:
        return form == ChordNameForm::kShort ? " min" : " minor";
    case 4:
        return form == ChordNameForm::kShort ? " Maj" : " Major";
    case 6:
        return " dim";
    default:
        return nullptr;
    }
}

const char* extensionWord(int interval) {
    switch (interval) {
    case 2:
        return " 9";
    case 5:
        return " sus4";
    case 8:
        return " m6";
    case 9:
        return " M6";
    case 10:
        return " 7";
    case 11:
        return " M7";
    default:
        return nullptr;
    }
}
} // namespace

void composeChordName(const uint8_t notes[8], ChordNameForm form, char* name, int32_t* chordRoot) {
    bool anyBeforeLast = false;
    for (int p = 0; p < 7; ++p) anyBeforeLast = anyBeforeLast || notes[p] != 0;
    if (!anyBeforeLast) return; // nothing to name: the previous name stays

    std::memcpy(name, "       ", 8);
    const RootAnalysis analysis = analyseRoot(notes);
    int root;
    if (analysis.outcome == RootAnalysis::kRoot) {
        root = analysis.root;
    } else if (notes[0] != 0) {
        root = notes[0] % 12;
    } else {
        return;
    }
    name[0] = kLetters[root];
    name[1] = kAccidentals[root];
    name[2] = 0;
    if (form == ChordNameForm::kLong && chordRoot) *chordRoot = root;

    const char* quality = nullptr;
    const char* extension = nullptr;
    for (int p = 0; p < 8; ++p) {
        if (notes[p] == 0) continue;
        const int r = ((notes[p] % 12) - root + 12) % 12;
        if (const char* q = qualityWord(r, form)) quality = q;
        if (const char* e = extensionWord(r)) extension = e;
    }
    // A major chord with a minor seventh is a dominant seventh.
    if (quality == qualityWord(4, form) && extension && std::strcmp(extension, " 7") == 0)
        quality = " Dom";
    if (quality) std::strcat(name, quality);
    if (extension) std::strcat(name, extension);
}

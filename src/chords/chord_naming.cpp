#include "chord_naming.h"

#include "chord_work_list.h"
#include "root_analysis.h"

#include <cstring>

namespace {

// Only sharps: a flat key would still read as the sharp of the note below.
constexpr char kNoteLetter[12] = {'C', 'C', 'D', 'D', 'E', 'F', 'F', 'G', 'G', 'A', 'A', 'B'};
constexpr char kAccidental[12] = {' ', '#', ' ', '#', ' ', ' ', '#', ' ', '#', ' ', '#', ' '};

struct QualityWords {
    const char* minor;
    const char* major;
    const char* diminished;
    const char* dominant;
};

constexpr QualityWords kShortWords = {" min", " Maj", " dim", " Dom"};
constexpr QualityWords kLongWords = {" minor", " Major", " dim", " Dom"};

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
    bool lowerPositionsEmpty = true;
    for (int p = 0; p <= 6; ++p)
        if (notes[p] != 0) lowerPositionsEmpty = false;
    // Nothing to name: the display keeps showing the last chord.
    if (lowerPositionsEmpty) return;

    std::memcpy(name, "       ", 8);
    const RootAnalysis analysis = analyseRoot(notes);
    int root = 0;
    if (analysis.outcome == RootAnalysis::kRoot) {
        root = analysis.root;
    } else if (notes[0] != 0) {
        root = notes[0] % 12;
    } else {
        return;
    }

    name[0] = kNoteLetter[root];
    name[1] = kAccidental[root];
    name[2] = 0;
    if (form == ChordNameForm::kLong && chordRoot != nullptr) *chordRoot = root;

    const QualityWords& words = form == ChordNameForm::kLong ? kLongWords : kShortWords;
    const char* quality = "";
    const char* extension = "";
    for (int p = 0; p < 8; ++p) {
        if (notes[p] == 0) continue;
        const int r = (notes[p] % 12 - root + 12) % 12;
        if (r == 3)
            quality = words.minor;
        else if (r == 4)
            quality = words.major;
        else if (r == 6)
            quality = words.diminished;
        else if (const char* word = extensionWord(r))
            extension = word;
    }
    // A major triad with a minor seventh is a dominant seventh.
    if (quality == words.major && std::strcmp(extension, " 7") == 0) quality = words.dominant;
    std::strcat(name, quality);
    std::strcat(name, extension);
}

void composeKeyChordName(const EngineState& s, int key, char* name) {
    if (key < 0 || key >= kKeyCount) return;
    uint8_t notes[kVoiceCount];
    readSlotNotes(s, key, notes);
    composeChordName(notes, ChordNameForm::kShort, name, nullptr);
}

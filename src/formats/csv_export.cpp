#include "csv_export.h"

#include "chord_naming.h"
#include "numeric.h"
#include "preset_file.h"

#include <cstring>

namespace {
constexpr const char* kPitchClassNames[12] = {"C ", "C#", "D ", "D#", "E ", "F ",
                                              "F#", "G ", "G#", "A ", "A#", "B "};
} // namespace

std::string csvNoteName(int note) {
    std::string name = kPitchClassNames[((note % 12) + 12) % 12];
    const int octave = note / 12 - 2;
    if (octave < 0) {
        name += '-';
        name += static_cast<char>('0' + (-octave) % 10);
    } else {
        name += static_cast<char>('0' + octave % 10);
        name += ' ';
    }
    return name;
}

std::string chordsCsv(EngineState& s) {
    std::string text;
    text.reserve(kKeyCount * 64);
    for (int n = 0; n < kKeyCount; ++n) {
        uint8_t notes[kVoiceCount];
        bool empty = true;
        uint8_t named[kVoiceCount];
        for (int k = 0; k < kVoiceCount; ++k) {
            notes[k] = static_cast<uint8_t>(clampTo(noteOfValue(s.chordNote[k][n]), 0, 255));
            // Entries of 128 and above are empty wherever the chord memory is
            // read: the name is that of the notes that sound.
            named[k] = notes[k] < 128 ? notes[k] : 0;
            empty = empty && named[k] == 0;
        }
        text += csvNoteName(n);
        text += ',';
        composeChordName(named, ChordNameForm::kShort, s.chordName, nullptr);
        if (empty) {
            s.chordName[0] = ' ';
            s.chordName[1] = ' ';
            s.chordName[2] = 0;
        }
        text += std::string(s.chordName, strnlen(s.chordName, kChordNameSize));
        text += ',';
        for (int k = 0; k < kVoiceCount; ++k) {
            text += notes[k] >= 1 && notes[k] <= 127 ? csvNoteName(notes[k]) : "  ";
            text += ',';
        }
        text += '\n';
    }
    return text;
}

bool saveChordsCsv(EngineState& state, std::string& pathBuffer) {
    if (pathBuffer.empty()) return false;
    pathBuffer = withExtension(pathBuffer, "csv");
    const std::string text = chordsCsv(state);
    return writeWholeFile(pathBuffer, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

#include "note_names.h"

void noteNameText(int note, char* text) {
    static const char kLetters[] = "CCDDEFFGGAAB";
    static const bool kSharp[12] = {false, true,  false, true,  false, false,
                                    true,  false, true,  false, true,  false};
    const int pc = note % 12;
    const int octave = note / 12 - 2;
    text[0] = kLetters[pc];
    text[1] = kSharp[pc] ? '#' : ' ';
    if (octave >= 0) {
        text[2] = static_cast<char>('0' + octave % 10);
        text[3] = ' ';
    } else {
        text[2] = '-';
        text[3] = static_cast<char>('0' - octave);
    }
    text[4] = 0;
}

// The four-character note names of the displays and the CSV list: letter,
// sharp sign or blank, octave (note / 12 - 2) as a digit and a blank, or as
// a minus sign and a digit below octave 0. Note 60 is "C 3 ", 13 is "C#-1".
#pragma once

// text receives 4 characters and a terminator.
void noteNameText(int note, char* text);

// How a typed text becomes a value of the NoteNum and NoteVel displays:
// "50%" is 0.5 anywhere; a NoteNum takes a note name (C3 is 60, c-2 is 0,
// C#3 is 61) or a note number (72), a NoteVel the percentage of the played
// velocity (100 leaves it as played, 0.5). Values stay within 0..1.
#pragma once

#include <string>

enum class TypedValueKind { kNoteNumber, kVelocity };

float typedValue(const std::string& text, TypedValueKind kind);

// What the text entry starts with: the display's text, a note name cut at
// its first blank after the third character ("C 3 " becomes "C 3"), and
// cut before an opening parenthesis.
std::string textEntryStart(std::string displayText, bool noteName);

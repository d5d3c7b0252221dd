// The per-pitch-class note rules ("Arp_No C" .. "Arp_No B"): keep, mute, or
// move a note down or up a semitone. The arpeggiator applies them to every
// note it sends, and the "By Arp Note-Prevent Rules" transform applies them
// to every stored chord note, so both go through this one walk.
#pragma once

#include <cstdint>

// The note that `note` becomes under `rules` (one NoteRule per pitch class),
// 1..127, or -1 when the rules remove it.
int walkNoteRules(int note, const int8_t rules[12]);

#include "note_rule_walk.h"

#include "engine_state.h"

// The arpeggiator's and the chord transform's descriptions of this walk say
// the same thing in two ways:
// - The arpeggiator drops a note above 127 before looking at its rule; a
//   stored chord note never exceeds 127, so doing it here serves both.
// - The arpeggiator drops a note below 1 each time a downward walk repeats;
//   the chord walk instead removes a note that moves below 0. Both remove the
//   same notes: a walk that reaches note 0 on a "-1" pitch class moves on to
//   -1, and one that stops on note 0 yields no note at all, since note 0 is
//   never sent and means an empty voice in a chord. An upward walk starts from
//   a note of at least 1, so its check below 1 never fires.
// - Any result outside 1..127 is reported as removed. The arpeggiator's send
//   routine still checks its own range (it also drops notes below 1 before the
//   rules), and the chord transform writes -1 as an empty voice.
// Rule values other than muted, down and up (a damaged chunk) leave the note
// as it is.
int walkNoteRules(int note, const int8_t rules[12]) {
    if (note < 1 || note > 127) return -1;
    const auto rule = [rules](int n) { return rules[n % 12]; };
    const int8_t first = rule(note);
    if (first == kRuleMuted) return -1;
    if (first == kRuleDown) {
        do {
            --note;
            if (note < 0 || rule(note) == kRuleUp) return -1;
        } while (rule(note) == kRuleDown);
    } else if (first == kRuleUp) {
        do {
            ++note;
            if (note > 127 || rule(note) == kRuleDown) return -1;
        } while (rule(note) == kRuleUp);
    }
    if (rule(note) == kRuleMuted) return -1;
    return note >= 1 ? note : -1;
}

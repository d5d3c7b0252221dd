// Notes that the plug-in's own rules leave hanging, told apart from our
// bugs. The rules keep one sounding flag per note number, not per channel,
// and its release helpers end notes on the channel that the routing gives
// them now; so these leave a note hanging by design:
// - a routing option (index 82) switched while chord notes sound: their
//   note-offs go out on the new channel;
// - a suspend and resume (a sample-rate change) while chord notes sound:
//   resume forgets which notes sound, so the next key or all-notes-off ends
//   nothing;
// - a note-off on a channel that bypasses the chord memory (2..5) for a note
//   number the chord sounds: it clears that number's flag;
// - with the chord memory off, notes on channels 1 and 16 pass on their own
//   channel; a note-off on one clears the flag of the same note on the
//   other, and switching the chord memory on ends them on channel 1 only;
// - capture mode (index 75): the capture writes the held keys into the
//   voices, and a voice still marked sounding (the release helpers leave
//   that mark) is re-struck with its new note; releasing that key in
//   capture mode only clears the note's flag;
// - a state load that switches the routing while notes sound;
// - a chord note above 127, which goes out on the next channel while the
//   release helpers end note numbers on the chord's own channel (a high
//   key, a transpose up).
// - a block that reaches 4096 events drops the rest, note-offs included
//   (the fuzzer tells these by the full block, not by removing steps);
// - a chord with two voices on one note number strikes it twice and ends it
//   once (told by the hang itself: see output_checks.h).
// A session that hangs only with these in it follows from the rules.
#pragma once

#include "session.h"

namespace soak {

// The session without the steps and events above.
Session withoutRuleHangCauses(const Session& session);

} // namespace soak

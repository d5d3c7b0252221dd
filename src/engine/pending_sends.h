// Note events that a non-real-time thread produces (a parameter change that
// re-strikes a sounding voice, a release helper called from the editor) are
// not appended to the block's output list directly: that would race the
// real-time thread. They wait here and the processing routine replays them
// at the start of its next block. Producers serialize among themselves;
// the real-time consumer never waits. The real-time thread itself may
// produce too, between two blocks (a host that changes parameters inside
// its process call): it has a ring of its own and takes no lock.
#pragma once

#include "spsc_ring.h"

#include <cstdint>
#include <mutex>

struct PendingSend {
    enum Kind : uint8_t {
        kChordEvent,          // send event
        kArpEvent,            // send arp event
        kArpNoteOff,          // note-off of a sounding arp note, rules already applied
        kReleaseChordPreview, // release preview voices 0..15
        kSilencePreview,      // every preview voice off (their note lengths end now)
        kClockTick,           // one arp clock tick (a new pattern is due at once)
        kTrigger,             // chord triggering: data1 note, data2 velocity, voiceOrFlag channel
    };
    Kind kind;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
    uint8_t voiceOrFlag; // voice number for the chord path, arp flag for the arp path
    uint8_t routing = 0; // chord path: the kRoute bits when the event was sent
};

// Where the chord path sent an event: to the arpeggiator, one channel up,
// copied per voice.
enum ChordRouting : uint8_t { kRouteToArp = 1, kRouteChordsCh2 = 2, kRouteVoicesCh3 = 4 };

class PendingSends {
public:
    bool push(const PendingSend& send) {
        std::lock_guard<std::mutex> lock(producers);
        return ring.push(send);
    }
    bool pushFromRealtime(const PendingSend& send) { return realtimeRing.push(send); }
    bool pop(PendingSend& send) { return ring.pop(send) || realtimeRing.pop(send); }

private:
    std::mutex producers;
    SpscRing<PendingSend, 4096> ring;
    SpscRing<PendingSend, 1024> realtimeRing;
};

#include "clap_note_input.h"

#include "midi_status.h"

#include <cmath>

namespace {

// One note port, index 0; -1 addresses every port.
bool ourPort(int32_t portIndex) {
    return portIndex == 0 || portIndex == -1;
}

uint8_t velocityByte(double velocity) {
    if (!(velocity > 0.0)) return 0;
    const long byte = std::lround(velocity * 127.0);
    return static_cast<uint8_t>(byte < 1 ? 1 : (byte > 127 ? 127 : byte));
}

bool noteMessage(const clap_event_note& e, uint16_t type, MidiMessage* m) {
    if (!ourPort(e.port_index)) return false;
    const bool anyChannel = e.channel < 0 || e.channel > 15;
    const uint8_t channel = anyChannel ? 0 : static_cast<uint8_t>(e.channel);
    if (type == CLAP_EVENT_NOTE_CHOKE && (e.key < 0 || e.key > 127)) {
        // Choking every note: what all-notes-off does.
        *m = {m->frame, static_cast<uint8_t>(kController | channel), 123, 0};
        return true;
    }
    if (e.key < 0 || e.key > 127 || anyChannel) return false;
    const auto key = static_cast<uint8_t>(e.key);
    const uint8_t velocity = type == CLAP_EVENT_NOTE_CHOKE ? 0 : velocityByte(e.velocity);
    if (type == CLAP_EVENT_NOTE_ON && velocity > 0)
        *m = {m->frame, static_cast<uint8_t>(kNoteOn | channel), key, velocity};
    else
        *m = {m->frame, static_cast<uint8_t>(kNoteOff | channel), key,
              type == CLAP_EVENT_NOTE_OFF ? velocity : uint8_t{0}};
    return true;
}

} // namespace

bool midiMessageOf(const clap_event_header& event, int32_t frame, MidiMessage* message) {
    if (event.space_id != CLAP_CORE_EVENT_SPACE_ID) return false;
    message->frame = frame;
    switch (event.type) {
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF:
    case CLAP_EVENT_NOTE_CHOKE:
        if (event.size < sizeof(clap_event_note)) return false;
        return noteMessage(reinterpret_cast<const clap_event_note&>(event), event.type, message);
    case CLAP_EVENT_MIDI: {
        if (event.size < sizeof(clap_event_midi)) return false;
        const auto& e = reinterpret_cast<const clap_event_midi&>(event);
        if (e.port_index != 0) return false;
        *message = {frame, e.data[0], e.data[1], e.data[2]};
        return true;
    }
    default:
        return false;
    }
}

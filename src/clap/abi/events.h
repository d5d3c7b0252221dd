// Events between host and plug-in: notes, MIDI, parameter values and
// gestures, transport. Every event starts with a header that gives its size,
// its frame in the block and its type; events are plain data, copied by size.
#pragma once

#include "fixed_point.h"
#include "id.h"

#include <cstddef>
#include <cstdint>

struct clap_event_header {
    uint32_t size; // the whole event, header included
    uint32_t time; // frame in the block
    uint16_t space_id;
    uint16_t type;
    uint32_t flags;
};

static_assert(sizeof(clap_event_header) == 16);

inline constexpr uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

enum clap_event_flags : uint32_t {
    CLAP_EVENT_IS_LIVE = 1,
    CLAP_EVENT_DONT_RECORD = 2,
};

enum clap_event_type : uint16_t {
    CLAP_EVENT_NOTE_ON = 0,
    CLAP_EVENT_NOTE_OFF = 1,
    CLAP_EVENT_NOTE_CHOKE = 2,
    CLAP_EVENT_NOTE_END = 3,
    CLAP_EVENT_NOTE_EXPRESSION = 4,
    CLAP_EVENT_PARAM_VALUE = 5,
    CLAP_EVENT_PARAM_MOD = 6,
    CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
    CLAP_EVENT_PARAM_GESTURE_END = 8,
    CLAP_EVENT_TRANSPORT = 9,
    CLAP_EVENT_MIDI = 10,
    CLAP_EVENT_MIDI_SYSEX = 11,
    CLAP_EVENT_MIDI2 = 12,
};

// Note on, off, choke and end. -1 in port, channel or key is a wildcard
// (chokes and ends); a note-on names all three.
struct clap_event_note {
    clap_event_header header;
    int32_t note_id; // -1: none
    int16_t port_index;
    int16_t channel; // 0..15
    int16_t key;     // 0..127
    double velocity; // 0..1
};

static_assert(sizeof(clap_event_note) == 40);
static_assert(offsetof(clap_event_note, port_index) == 20);
static_assert(offsetof(clap_event_note, key) == 24);
static_assert(offsetof(clap_event_note, velocity) == 32);

struct clap_event_param_value {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
};

static_assert(sizeof(clap_event_param_value) == 56);
static_assert(offsetof(clap_event_param_value, cookie) == 24);
static_assert(offsetof(clap_event_param_value, note_id) == 32);
static_assert(offsetof(clap_event_param_value, key) == 40);
static_assert(offsetof(clap_event_param_value, value) == 48);

struct clap_event_param_gesture {
    clap_event_header header;
    clap_id param_id;
};

static_assert(sizeof(clap_event_param_gesture) == 20);

enum clap_transport_flags : uint32_t {
    CLAP_TRANSPORT_HAS_TEMPO = 1,
    CLAP_TRANSPORT_HAS_BEATS_TIMELINE = 2,
    CLAP_TRANSPORT_HAS_SECONDS_TIMELINE = 4,
    CLAP_TRANSPORT_HAS_TIME_SIGNATURE = 8,
    CLAP_TRANSPORT_IS_PLAYING = 16,
    CLAP_TRANSPORT_IS_RECORDING = 32,
    CLAP_TRANSPORT_IS_LOOP_ACTIVE = 64,
    CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL = 128,
};

struct clap_event_transport {
    clap_event_header header;
    uint32_t flags;
    clap_beattime song_pos_beats;
    clap_sectime song_pos_seconds;
    double tempo;     // beats per minute
    double tempo_inc; // per sample, until the next transport event
    clap_beattime loop_start_beats;
    clap_beattime loop_end_beats;
    clap_sectime loop_start_seconds;
    clap_sectime loop_end_seconds;
    clap_beattime bar_start;
    int32_t bar_number;
    uint16_t tsig_num;
    uint16_t tsig_denom;
};

static_assert(sizeof(clap_event_transport) == 104);
static_assert(offsetof(clap_event_transport, song_pos_beats) == 24);
static_assert(offsetof(clap_event_transport, tempo) == 40);
static_assert(offsetof(clap_event_transport, loop_start_beats) == 56);
static_assert(offsetof(clap_event_transport, bar_start) == 88);
static_assert(offsetof(clap_event_transport, tsig_denom) == 102);

struct clap_event_midi {
    clap_event_header header;
    uint16_t port_index;
    uint8_t data[3];
};

static_assert(sizeof(clap_event_midi) == 24);
static_assert(offsetof(clap_event_midi, data) == 18);

// The host's events for a block, sorted by time.
struct clap_input_events {
    void* ctx;
    uint32_t (*size)(const clap_input_events* list);
    const clap_event_header* (*get)(const clap_input_events* list, uint32_t index);
};

// The plug-in's events, pushed in time order; the host copies each one.
struct clap_output_events {
    void* ctx;
    bool (*try_push)(const clap_output_events* list, const clap_event_header* event);
};

static_assert(sizeof(clap_input_events) == 24);
static_assert(sizeof(clap_output_events) == 16);

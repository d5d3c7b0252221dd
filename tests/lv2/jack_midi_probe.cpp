// zandrel-jack-probe CLIENT: a small JACK client that rolls the transport
// at 120 beats per minute (as the session's sequencer, the timebase
// master), plays one held key into CLIENT:events_in and counts the
// note-ons coming back from CLIENT:events_out, as a sequencer, a keyboard
// and an instrument around a plug-in host would. Exits 0 when at least
// four came back, 1 when not, and 77 (skipped) when no JACK server answers.
#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

struct Probe {
    jack_port_t* out = nullptr;
    jack_port_t* in = nullptr;
    std::atomic<bool> connected{false};
    std::atomic<int> received{0};
    int cycles = 0;
};

int process(jack_nframes_t frames, void* arg) {
    Probe& p = *static_cast<Probe*>(arg);
    void* out = jack_port_get_buffer(p.out, frames);
    jack_midi_clear_buffer(out);
    if (p.connected) {
        ++p.cycles;
        unsigned char key[3] = {0x90, 60, 100};
        if (p.cycles == 10) jack_midi_event_write(out, 0, key, 3);
    }
    void* in = jack_port_get_buffer(p.in, frames);
    const jack_nframes_t count = jack_midi_get_event_count(in);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t e;
        if (jack_midi_event_get(&e, in, i) == 0 && e.size == 3 && (e.buffer[0] & 0xF0) == 0x90 &&
            e.buffer[2] != 0)
            ++p.received;
    }
    return 0;
}

// Bars and beats of 4/4 at 120 beats per minute from the frame.
void timebase(jack_transport_state_t /*state*/, jack_nframes_t /*frames*/, jack_position_t* pos,
              int /*newPosition*/, void* /*arg*/) {
    constexpr double kTempo = 120.0, kTicksPerBeat = 1920.0;
    const double beats = static_cast<double>(pos->frame) / pos->frame_rate * kTempo / 60.0;
    const auto whole = static_cast<int64_t>(beats);
    pos->valid = JackPositionBBT;
    pos->beats_per_bar = 4;
    pos->beat_type = 4;
    pos->ticks_per_beat = kTicksPerBeat;
    pos->beats_per_minute = kTempo;
    pos->bar = static_cast<int32_t>(whole / 4 + 1);
    pos->beat = static_cast<int32_t>(whole % 4 + 1);
    pos->tick = static_cast<int32_t>((beats - static_cast<double>(whole)) * kTicksPerBeat);
    pos->bar_start_tick = static_cast<double>(pos->bar - 1) * 4 * kTicksPerBeat;
}

template <typename Try>
bool within(std::chrono::seconds limit, Try attempt) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!attempt()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: zandrel-jack-probe CLIENT\n", stderr);
        return 2;
    }
    const std::string host = argv[1];
    jack_client_t* client = nullptr;
    if (!within(std::chrono::seconds(10), [&] {
            client = jack_client_open("zandrel-probe", JackNoStartServer, nullptr);
            return client != nullptr;
        })) {
        std::puts("no JACK server answered");
        return 77;
    }
    Probe probe;
    probe.out = jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    probe.in = jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client, process, &probe);
    if (!probe.out || !probe.in || jack_activate(client) != 0 ||
        jack_set_timebase_callback(client, 0, timebase, nullptr) != 0) {
        std::puts("could not start the probe");
        return 1;
    }
    jack_transport_start(client);
    if (!within(std::chrono::seconds(5),
                [&] { return jack_transport_query(client, nullptr) == JackTransportRolling; })) {
        std::puts("the transport does not roll");
        return 1;
    }
    // The host may still be loading the plug-in.
    const bool connected = within(std::chrono::seconds(15), [&] {
        return jack_connect(client, jack_port_name(probe.out), (host + ":events_in").c_str()) ==
                   0 &&
               jack_connect(client, (host + ":events_out").c_str(), jack_port_name(probe.in)) == 0;
    });
    if (!connected) {
        std::printf("no ports %s:events_in and %s:events_out\n", host.c_str(), host.c_str());
        jack_client_close(client);
        return 1;
    }
    probe.connected = true;
    within(std::chrono::seconds(10), [&] { return probe.received >= 4; });
    jack_client_close(client);
    std::printf("one key in, %d notes out\n", probe.received.load());
    return probe.received >= 4 ? 0 : 1;
}

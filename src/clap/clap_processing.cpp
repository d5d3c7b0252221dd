// The real-time path: a CLAP block is played as consecutive parts, split
// where the host changes a parameter or its transport, each part as a VST
// 2.4 host would play a block of its own: the part's MIDI, then the part
// with the transport of its first frame. What the engine sends goes out
// as MIDI events at their frames, merged in time order with the parameter
// changes the engine made itself.
#include "clap_note_input.h"
#include "clap_transport.h"
#include "parameter_indices.h"
#include "zandrel_clap.h"

#include <algorithm>
#include <cstring>

namespace {

// Marks the calling thread as the one inside process or flush for the call.
class AudioCall {
public:
    AudioCall(std::atomic<std::thread::id>& owner, const clap_output_events*& out,
              const clap_output_events* events)
        : owner(owner), out(out) {
        out = events;
        owner.store(std::this_thread::get_id(), std::memory_order_release);
    }
    ~AudioCall() {
        owner.store(std::thread::id{}, std::memory_order_release);
        out = nullptr;
    }
    AudioCall(const AudioCall&) = delete;
    AudioCall& operator=(const AudioCall&) = delete;

private:
    std::atomic<std::thread::id>& owner;
    const clap_output_events*& out;
};

bool push(const clap_output_events* out, const clap_event_header& event) {
    return out && out->try_push && out->try_push(out, &event);
}

void pushMidi(const clap_output_events* out, uint32_t time, const MidiMessage& m) {
    clap_event_midi e{};
    e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
    e.port_index = 0;
    e.data[0] = m.status;
    e.data[1] = m.data1;
    e.data[2] = m.data2;
    push(out, e.header);
}

// Every output sample is written: what the engine does not fill is silence.
void silenceOutputs(const clap_process& p, uint32_t frames) {
    for (uint32_t port = 0; p.audio_outputs && port < p.audio_outputs_count; ++port) {
        clap_audio_buffer& b = p.audio_outputs[port];
        b.constant_mask = 0;
        for (uint32_t c = 0; c < b.channel_count; ++c) {
            if (b.data32 && b.data32[c]) std::memset(b.data32[c], 0, sizeof(float) * frames);
            if (b.data64 && b.data64[c]) std::memset(b.data64[c], 0, sizeof(double) * frames);
        }
    }
}

} // namespace

clap_process_status ZandrelClap::process(const clap_process& p) noexcept {
    if (!active) return CLAP_PROCESS_ERROR;
    AudioCall call(audioThread, out, p.out_events);
    const auto frames = static_cast<int32_t>(std::min<uint32_t>(p.frames_count, INT32_MAX));
    blockFrames = frames;
    queuedCount = queuedPushed = 0;
    lastPushedTime = 0;
    pushMainThreadChanges();

    silenceOutputs(p, static_cast<uint32_t>(frames));
    float* left = nullptr;
    float* right = nullptr;
    if (p.audio_outputs && p.audio_outputs_count > 0 && p.audio_outputs[0].data32) {
        const clap_audio_buffer& main = p.audio_outputs[0];
        if (main.channel_count > 0) left = main.data32[0];
        if (main.channel_count > 1) right = main.data32[1];
    }

    haveTransport = p.transport != nullptr;
    if (haveTransport) transport = transportInfoOf(*p.transport, expected);
    segmentStart = 0;
    messageCount = 0;
    if (resetDue.exchange(false)) messages[messageCount++] = {0, 0xB0, 123, 0};

    const uint32_t count = p.in_events && p.in_events->size ? p.in_events->size(p.in_events) : 0;
    const int32_t lastFrame = frames > 0 ? frames - 1 : 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header* e = p.in_events->get(p.in_events, i);
        if (!e || e->space_id != CLAP_CORE_EVENT_SPACE_ID) continue;
        // Hosts sort their events; one out of order or beyond the block
        // counts as at the nearest frame that is still to come.
        const auto time = static_cast<int32_t>(std::min<uint32_t>(e->time, INT32_MAX));
        const int32_t t = std::clamp(time, segmentStart, lastFrame);
        if (e->type == CLAP_EVENT_PARAM_VALUE && e->size >= sizeof(clap_event_param_value)) {
            if (t > segmentStart) playSegment(t, left, right);
            const auto& v = reinterpret_cast<const clap_event_param_value&>(*e);
            applyHostValue(v.param_id, v.value);
        } else if (e->type == CLAP_EVENT_TRANSPORT && e->size >= sizeof(clap_event_transport)) {
            if (t > segmentStart) playSegment(t, left, right);
            transport =
                transportInfoOf(reinterpret_cast<const clap_event_transport&>(*e), transport);
            haveTransport = true;
        } else if (messageCount < kSegmentMessages) {
            // A crowded block drops what does not fit.
            MidiMessage m{};
            if (midiMessageOf(*e, t - segmentStart, &m)) messages[messageCount++] = m;
        }
    }
    playSegment(frames, left, right);
    if (haveTransport) expected = transport;
    return CLAP_PROCESS_CONTINUE;
}

void ZandrelClap::playSegment(int32_t end, float* left, float* right) noexcept {
    const int32_t length = end - segmentStart;
    // Messages at the split belong to the next part.
    int32_t taken = messageCount;
    while (taken > 0 && messages[taken - 1].frame >= length) --taken;
    // Like a VST 2.4 host: MIDI first (when there is any), then the block.
    if (taken > 0) engine.receiveMidi(messages, taken);
    engine.processBlock(left ? left + segmentStart : nullptr,
                        right ? right + segmentStart : nullptr, length,
                        haveTransport ? &transport : nullptr);
    // What the engine changed in this part, after its MIDI of the same frame.
    pushParameterChangesUpTo(INT32_MAX);
    const int32_t rest = messageCount - taken;
    for (int32_t k = 0; k < rest; ++k) {
        messages[k] = messages[taken + k];
        messages[k].frame -= length;
    }
    messageCount = rest;
    if (haveTransport) transport = transportAfter(transport, length, sampleRate);
    segmentStart = end;
}

void ZandrelClap::applyHostValue(clap_id id, double value) noexcept {
    if (id >= static_cast<clap_id>(param::kHostParameterCount)) return;
    // Converted once, as a VST 2.4 host would have sent the value. While
    // active this is the audio thread, which must not wait.
    const auto index = static_cast<int32_t>(id);
    if (active)
        engine.setParameterInBlock(index, static_cast<float>(value));
    else
        engine.setParameter(index, static_cast<float>(value));
}

void ZandrelClap::sendMidi(const MidiMessage* events, int32_t count) noexcept {
    for (int32_t k = 0; k < count; ++k) {
        const int32_t frame = segmentStart + events[k].frame;
        pushParameterChangesUpTo(frame);
        lastPushedTime =
            std::max(lastPushedTime, std::clamp(frame, 0, std::max(blockFrames - 1, 0)));
        pushMidi(out, static_cast<uint32_t>(lastPushedTime), events[k]);
    }
}

void ZandrelClap::pushParameterChange(int32_t frame, int32_t index, float value) noexcept {
    if (queuedCount == kQueuedChanges) {
        // Too many for this call: the host reads every value again.
        rescanDue.store(true);
        if (host && host->request_callback) host->request_callback(host);
        return;
    }
    queuedChanges[queuedCount++] = {frame, index, value};
}

void ZandrelClap::pushParameterChangesUpTo(int32_t frame) noexcept {
    for (; queuedPushed < queuedCount && queuedChanges[queuedPushed].frame <= frame;
         ++queuedPushed) {
        const ParameterChange& c = queuedChanges[queuedPushed];
        lastPushedTime =
            std::max(lastPushedTime, std::clamp(c.frame, 0, std::max(blockFrames - 1, 0)));
        pushParameterEvent(c, lastPushedTime);
    }
    if (queuedPushed == queuedCount) queuedCount = queuedPushed = 0;
}

void ZandrelClap::pushParameterEvent(const ParameterChange& c, int32_t time) noexcept {
    // The engine's own doing (a load, a program change, a key choosing a
    // pattern): the host shows it but records no automation. The editor's
    // changes are the user's: recorded, inside their gestures.
    const uint32_t flags = c.record ? 0u : static_cast<uint32_t>(CLAP_EVENT_DONT_RECORD);
    if (c.type != CLAP_EVENT_PARAM_VALUE) {
        clap_event_param_gesture g{};
        g.header = {sizeof g, static_cast<uint32_t>(time), CLAP_CORE_EVENT_SPACE_ID, c.type, flags};
        g.param_id = static_cast<clap_id>(c.index);
        push(out, g.header);
        return;
    }
    clap_event_param_value e{};
    e.header = {sizeof e, static_cast<uint32_t>(time), CLAP_CORE_EVENT_SPACE_ID,
                CLAP_EVENT_PARAM_VALUE, flags};
    e.param_id = static_cast<clap_id>(c.index);
    e.note_id = -1;
    e.port_index = e.channel = e.key = -1;
    e.value = c.value;
    push(out, e.header);
}

void ZandrelClap::pushMainThreadChanges() noexcept {
    flushRequested.store(false);
    // All at the block's first frame, in the order they were made, before
    // anything the engine does in the block.
    ParameterChange c{};
    while (fromMainThread.pop(c)) pushParameterEvent(c, 0);
}

void ZandrelClap::flush(const clap_input_events* in, const clap_output_events* events) noexcept {
    AudioCall call(audioThread, out, events);
    blockFrames = 1; // everything at frame 0
    queuedCount = queuedPushed = 0;
    lastPushedTime = 0;
    segmentStart = 0;
    pushMainThreadChanges();
    const uint32_t count = in && in->size ? in->size(in) : 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header* e = in->get(in, i);
        if (!e || e->space_id != CLAP_CORE_EVENT_SPACE_ID || e->type != CLAP_EVENT_PARAM_VALUE ||
            e->size < sizeof(clap_event_param_value))
            continue;
        const auto& v = reinterpret_cast<const clap_event_param_value&>(*e);
        applyHostValue(v.param_id, v.value);
    }
    pushParameterChangesUpTo(INT32_MAX);
}

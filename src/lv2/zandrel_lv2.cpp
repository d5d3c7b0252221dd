#include "zandrel_lv2.h"

#include "diagnostics.h"
#include "lv2_uris.h"
#include "midi_status.h"

#include <lv2/atom/util.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

template <typename T>
const T* featureData(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, uri) == 0)
            return static_cast<const T*>((*features)->data);
    return nullptr;
}

// The bytes a short MIDI message takes; 0 for what an atom event cannot
// carry as one (system exclusive) or what is no status byte.
uint32_t messageBytes(uint8_t status) {
    if (status < 0x80) return 0;
    if (messageKind(status) != kSystemMessage)
        return 1 + static_cast<uint32_t>(dataBytesOf(status));
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    case 0xF0:
    case 0xF7:
        return 0;
    default:
        return 1;
    }
}

bool numberOf(const LV2_Atom* atom, const Lv2Urids& u, float& out) {
    if (!atom) return false;
    if (atom->type == u.atomFloat)
        out = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    else if (atom->type == u.atomDouble)
        out = static_cast<float>(reinterpret_cast<const LV2_Atom_Double*>(atom)->body);
    else if (atom->type == u.atomInt || atom->type == u.atomBool)
        out = static_cast<float>(reinterpret_cast<const LV2_Atom_Int*>(atom)->body);
    else if (atom->type == u.atomLong)
        out = static_cast<float>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    else
        return false;
    return true;
}

struct WorkItem {
    int32_t index;
    float value;
};

constexpr uint32_t kAllParameters = 0xFFFFFFFFu;

} // namespace

std::unique_ptr<ZandrelLv2> ZandrelLv2::create(double sampleRate,
                                               const LV2_Feature* const* features) {
    const auto* map = featureData<LV2_URID_Map>(features, LV2_URID__map);
    if (!map) return nullptr;
    return std::make_unique<ZandrelLv2>(
        sampleRate, *map, featureData<LV2_Worker_Schedule>(features, LV2_WORKER__schedule));
}

ZandrelLv2::ZandrelLv2(double rate, const LV2_URID_Map& map, const LV2_Worker_Schedule* work)
    : sampleRate(rate), uris(map), schedule(work),
      engine(*this, EngineSetup{static_cast<float>(rate), ""}), transport(uris, rate) {
    lv2_atom_forge_init(&forge, const_cast<LV2_URID_Map*>(&map));
    std::fill(std::begin(portSeen), std::end(portSeen), std::numeric_limits<float>::quiet_NaN());
}

void ZandrelLv2::connectPort(uint32_t port, void* data) noexcept {
    switch (port) {
    case kEventsIn:
        eventsIn = static_cast<const LV2_Atom_Sequence*>(data);
        break;
    case kEventsOut:
        eventsOut = static_cast<LV2_Atom_Sequence*>(data);
        break;
    case kPreviewLeft:
    case kPreviewRight:
        preview[port - kPreviewLeft] = static_cast<float*>(data);
        break;
    default:
        if (port >= kFirstControl && port < kPortCount)
            controls[port - kFirstControl] = static_cast<const float*>(data);
        break;
    }
}

void ZandrelLv2::activate() {
    engine.resume(static_cast<float>(sampleRate));
    // Program changes read their presets on the host's worker where it
    // offers one; the shared thread also writes out the diagnostic lines
    // of the real-time thread when they are asked for.
    if (!schedule || diagnosticsEnabled()) engine.startWorker();
}

void ZandrelLv2::deactivate() {
    engine.suspend(static_cast<float>(sampleRate));
}

void ZandrelLv2::run(uint32_t sampleCount) noexcept {
    const auto frames = static_cast<int32_t>(std::min<uint32_t>(sampleCount, INT32_MAX));
    if (eventsOut) {
        // The host hands the port's capacity in the atom's size.
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(eventsOut),
                                  sizeof(LV2_Atom) + eventsOut->atom.size);
        lv2_atom_forge_sequence_head(&forge, &sequenceFrame, 0);
    }
    takeControlPorts();

    segmentStart = 0;
    messageCount = 0;
    startSegment();
    if (eventsIn) {
        LV2_ATOM_SEQUENCE_FOREACH(eventsIn, event) {
            readEvent(*event, frames);
        }
    }
    if (frames > segmentStart) playSegment(frames);

    reportParameters(frames);
    if (eventsOut) lv2_atom_forge_pop(&forge, &sequenceFrame);
    blockStart += frames;
}

void ZandrelLv2::takeControlPorts() noexcept {
    const bool absorb = absorbPorts.exchange(false);
    for (int32_t i = 0; i < param::kHostParameterCount; ++i) {
        if (!controls[i]) continue;
        const float value = *controls[i];
        if (value == portSeen[i] || value != value) continue;
        portSeen[i] = value;
        if (absorb) continue;
        if (playedOnce)
            engine.setParameterInBlock(i, value);
        else if (std::fabs(value - engine.getParameter(i)) > 1e-6f)
            // The host's settings for a new instance, not stale automation.
            engine.setParameterInBlock(i, value, true);
    }
    playedOnce = true;
}

void ZandrelLv2::readEvent(const LV2_Atom_Event& event, int32_t frames) noexcept {
    // Hosts sort their events; one out of order counts as at the segment's
    // start. MIDI beyond the block is dropped, as in the other builds.
    const int64_t time = event.time.frames;
    if (event.body.type == uris.midiEvent) {
        if (time < frames)
            takeMidi(event.body, static_cast<int32_t>(std::max<int64_t>(time, segmentStart)));
        return;
    }
    if (event.body.type != uris.atomObject && event.body.type != uris.atomBlank) return;
    const auto frame = static_cast<int32_t>(std::clamp<int64_t>(time, segmentStart, frames));
    const auto& object = reinterpret_cast<const LV2_Atom_Object&>(event.body);
    if (object.body.otype == uris.timePosition)
        takePosition(object, frame);
    else if (object.body.otype == uris.patchSet)
        takePatchSet(object, frame);
    else if (object.body.otype == uris.patchGet)
        takePatchGet(object);
}

void ZandrelLv2::takeMidi(const LV2_Atom& atom, int32_t frame) noexcept {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&atom + 1);
    if (atom.size == 0 || atom.size > 3 || messageBytes(bytes[0]) == 0) return;
    // A crowded block drops what does not fit.
    if (messageCount == kSegmentMessages) return;
    messages[messageCount++] = {frame, bytes[0], atom.size > 1 ? bytes[1] : uint8_t{0},
                                atom.size > 2 ? bytes[2] : uint8_t{0}};
}

void ZandrelLv2::takePosition(const LV2_Atom_Object& position, int32_t frame) noexcept {
    // The part before the first position of all plays without one; a full
    // list of changes ends the segment here.
    if (frame > segmentStart && (changeCount == 0 || changeCount == kSegmentChanges))
        playSegment(frame);
    transport.take(&position, blockStart + frame);
    const TransportChange change{frame - segmentStart, transport.at(blockStart + frame)};
    if (changeCount > 0 && changes[changeCount - 1].frame == change.frame)
        changes[changeCount - 1] = change;
    else if (changeCount < kSegmentChanges)
        changes[changeCount++] = change;
}

void ZandrelLv2::takePatchSet(const LV2_Atom_Object& message, int32_t frame) noexcept {
    const LV2_Atom *property = nullptr, *value = nullptr;
    lv2_atom_object_get(&message, uris.patchProperty, &property, uris.patchValue, &value, 0);
    if (!property || property->type != uris.atomUrid) return;
    const int32_t index = uris.parameterOf(reinterpret_cast<const LV2_Atom_URID*>(property)->body);
    float v = 0.0f;
    if (index < 0 || !numberOf(value, uris, v)) return;
    if (frame > segmentStart) playSegment(frame);
    engine.setParameterInBlock(index, v);
}

void ZandrelLv2::takePatchGet(const LV2_Atom_Object& message) noexcept {
    const LV2_Atom* property = nullptr;
    lv2_atom_object_get(&message, uris.patchProperty, &property, 0);
    if (!property) {
        requestedAll = true;
        return;
    }
    if (property->type != uris.atomUrid) return;
    const int32_t index = uris.parameterOf(reinterpret_cast<const LV2_Atom_URID*>(property)->body);
    if (index >= 0) requestedParameters |= 1u << index;
}

void ZandrelLv2::startSegment() noexcept {
    changeCount = 0;
    if (transport.known()) changes[changeCount++] = {0, transport.at(blockStart + segmentStart)};
}

void ZandrelLv2::playSegment(int32_t end) noexcept {
    const int32_t length = end - segmentStart;
    // Messages at the split belong to the next segment.
    int32_t taken = 0;
    while (taken < messageCount && messages[taken].frame < end) {
        messages[taken].frame -= segmentStart;
        ++taken;
    }
    outputBase = segmentStart;
    engine.process(messages, taken, changes, changeCount,
                   preview[0] ? preview[0] + segmentStart : nullptr,
                   preview[1] ? preview[1] + segmentStart : nullptr, length);
    outputBase = 0;
    messageCount -= taken;
    std::memmove(messages, messages + taken, sizeof(MidiMessage) * messageCount);
    segmentStart = end;
    startSegment();
}

bool ZandrelLv2::roomFor(uint32_t bytes) const noexcept {
    return eventsOut && forge.offset + bytes <= forge.size;
}

void ZandrelLv2::sendMidi(const MidiMessage* events, int32_t count) noexcept {
    for (int32_t k = 0; k < count; ++k) {
        const MidiMessage& m = events[k];
        const uint32_t size = messageBytes(m.status);
        // An event: its time and atom header, the bytes padded to 8.
        if (size == 0 || !roomFor(sizeof(LV2_Atom_Event) + 8)) continue;
        const uint8_t bytes[3] = {m.status, m.data1, m.data2};
        lv2_atom_forge_frame_time(&forge, outputBase + m.frame);
        lv2_atom_forge_atom(&forge, size, uris.midiEvent);
        lv2_atom_forge_write(&forge, bytes, size);
    }
}

void ZandrelLv2::displayChanged() {
    changedParameters.store(kAllParameters);
}

void ZandrelLv2::hostParameterChanged(int32_t index, float /*value*/) {
    if (index >= 0 && index < param::kHostParameterCount) changedParameters.fetch_or(1u << index);
}

bool ZandrelLv2::scheduleWork(int32_t index, float value) noexcept {
    if (!schedule) return false;
    // Work the host's queue cannot take is dropped, as a full queue of the
    // shared thread drops it: a preset load simply does not happen.
    const WorkItem item{index, value};
    schedule->schedule_work(schedule->handle, sizeof item, &item);
    return true;
}

void ZandrelLv2::work(const void* data, uint32_t size) {
    if (size != sizeof(WorkItem)) return;
    WorkItem item{};
    std::memcpy(&item, data, sizeof item);
    engine.performDeferredWork(item.index, item.value);
}

void ZandrelLv2::reportParameters(int32_t frames) noexcept {
    const int64_t frame = frames > 0 ? frames - 1 : 0;
    if (requestedAll) writeAllParameters(frame);
    const uint32_t due = changedParameters.exchange(0) | (requestedAll ? 0 : requestedParameters);
    requestedAll = false;
    requestedParameters = 0;
    for (int32_t i = 0; i < param::kHostParameterCount; ++i)
        if (due & (1u << i)) writeParameterSet(frame, i);
}

void ZandrelLv2::writeParameterSet(int64_t frame, int32_t index) noexcept {
    if (!roomFor(128)) return;
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_object(&forge, &object, 0, uris.patchSet);
    lv2_atom_forge_key(&forge, uris.patchProperty);
    lv2_atom_forge_urid(&forge, uris.parameter[index]);
    lv2_atom_forge_key(&forge, uris.patchValue);
    lv2_atom_forge_float(&forge, engine.getParameter(index));
    lv2_atom_forge_pop(&forge, &object);
}

void ZandrelLv2::writeAllParameters(int64_t frame) noexcept {
    if (!roomFor(64 + 24 * param::kHostParameterCount)) return;
    LV2_Atom_Forge_Frame put, body;
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_object(&forge, &put, 0, uris.patchPut);
    lv2_atom_forge_key(&forge, uris.patchBody);
    lv2_atom_forge_object(&forge, &body, 0, 0);
    for (int32_t i = 0; i < param::kHostParameterCount; ++i) {
        lv2_atom_forge_key(&forge, uris.parameter[i]);
        lv2_atom_forge_float(&forge, engine.getParameter(i));
    }
    lv2_atom_forge_pop(&forge, &body);
    lv2_atom_forge_pop(&forge, &put);
}

LV2_State_Status ZandrelLv2::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    void* data = nullptr;
    const int32_t size = engine.getChunk(&data);
    if (!data || size <= 0) return LV2_STATE_ERR_UNKNOWN;
    return store(handle, uris.stateChunk, data, static_cast<size_t>(size), uris.atomChunk,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status ZandrelLv2::restore(LV2_State_Retrieve_Function retrieve,
                                     LV2_State_Handle handle) {
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* data = retrieve(handle, uris.stateChunk, &size, &type, &flags);
    if (!data) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != uris.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    // The same lengths the VST 2.4 build takes, with the same checks.
    if (size > static_cast<size_t>(INT32_MAX) ||
        engine.setChunk(data, static_cast<int32_t>(size)) != 0)
        return LV2_STATE_ERR_UNKNOWN;
    absorbPorts.store(true);
    sizeSettled.store(true);
    changedParameters.store(kAllParameters);
    return LV2_STATE_SUCCESS;
}

// A small VST 2.4 MIDI effect for the validator's own tests, built on the
// project's VST layer. Left alone it passes every check: it passes notes
// through, adds a note an octave up on every sixteenth while the transport
// plays and a key is held, and sounds a quiet tone while notes sound. The
// environment variable ZANDREL_BROKEN_FAULT plants one fault, each meant for
// one check to catch; ZANDREL_BROKEN_EDITOR=1 gives it a small X11 editor.
#include "audio_effect_x.h"

#if BROKEN_PLUGIN_EDITOR
#include <X11/Xlib.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

enum class Fault {
    kNone,
    kNanAudio,          // NaN samples at 88200 Hz and above
    kSubnormalAudio,    // subnormal samples at 22050 Hz
    kEventOffset,       // note-offs one frame past the block in blocks of 1000
    kHangingNote,       // note-offs lost in blocks of 16 frames
    kZeroFrameEvent,    // an event in a block of no frames
    kBlockTiming,       // the sixteenths at the start of their block
    kStateNotRestored,  // the velocity is not read back from a state
    kDamagedStateTaken, // states of any length taken, the empty one too
    kUnloadCrash,       // a thread that only the close call stops
    kLeakedThread,      // a thread nothing stops
    kTextRoundTrip,     // the length reads back coarser than it shows
    kLocaleText,        // the level's text follows the locale
    kLongName,          // an effect name longer than hosts give room for
    kChatty,            // a line on standard error for every instance
    kEditorFails,       // an editor that does not open
    kLeakAcrossThreads, // memory lost when another thread destroys it
};

Fault plantedFault() {
    static const std::pair<const char*, Fault> kNames[] = {
        {"nan-audio", Fault::kNanAudio},
        {"subnormal-audio", Fault::kSubnormalAudio},
        {"event-offset", Fault::kEventOffset},
        {"hanging-note", Fault::kHangingNote},
        {"zero-frame-event", Fault::kZeroFrameEvent},
        {"block-timing", Fault::kBlockTiming},
        {"state-not-restored", Fault::kStateNotRestored},
        {"damaged-state-taken", Fault::kDamagedStateTaken},
        {"unload-crash", Fault::kUnloadCrash},
        {"leaked-thread", Fault::kLeakedThread},
        {"text-round-trip", Fault::kTextRoundTrip},
        {"locale-text", Fault::kLocaleText},
        {"long-name", Fault::kLongName},
        {"chatty", Fault::kChatty},
        {"editor-fails", Fault::kEditorFails},
        {"leak-across-threads", Fault::kLeakAcrossThreads},
    };
    const char* wanted = std::getenv("ZANDREL_BROKEN_FAULT");
    if (!wanted) return Fault::kNone;
    for (const auto& [name, fault] : kNames)
        if (std::strcmp(wanted, name) == 0) return fault;
    return Fault::kNone;
}

const Fault fault = plantedFault();
bool has(Fault f) {
    return fault == f;
}

constexpr int kParameters = 4;
constexpr int kPrograms = 2;
constexpr int kMaxEvents = 512;
constexpr uint32_t kStateMagic = 0x4B52425Au; // "ZBRK"
const char* const kParameterNames[kParameters] = {"Length", "Level", "Velocity", "Octave"};

void copyText(char* text, const std::string& value, size_t room = 24) {
    std::snprintf(text, room, "%s", value.c_str());
}

#if BROKEN_PLUGIN_EDITOR
// A small window in the host's window, drawn by the X server alone.
class SmallEditor : public AEffEditor {
public:
    explicit SmallEditor(AudioEffect* effect) : AEffEditor(effect) {}
    bool getRect(ERect** r) override {
        *r = &rect;
        return true;
    }
    bool open(void* parent) override {
        if (has(Fault::kEditorFails)) return false;
        display = XOpenDisplay(nullptr);
        if (!display) return false;
        window = XCreateSimpleWindow(display, reinterpret_cast<Window>(parent), 0, 0, 320, 200, 0,
                                     0, 0x303840);
        XMapWindow(display, window);
        XFlush(display);
        AEffEditor::open(parent);
        return true;
    }
    void idle() override {
        while (display && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }
    void close() override {
        if (display) {
            XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
        display = nullptr;
        AEffEditor::close();
    }

private:
    ERect rect{0, 0, 200, 320};
    Display* display = nullptr;
    Window window = 0;
};
#endif

class BrokenEffect : public AudioEffectX {
public:
    explicit BrokenEffect(audioMasterCallback master)
        : AudioEffectX(master, kPrograms, kParameters) {
        setNumInputs(0);
        setNumOutputs(2);
        setUniqueID(fourCharId('Z', 'b', 'r', 'k'));
        canProcessReplacing();
        programsAreChunks();
        isSynth();
        for (auto& program : programs) program = {0.5f, 0.5f, 0.8f, 0.5f};
#if BROKEN_PLUGIN_EDITOR
        if (std::getenv("ZANDREL_BROKEN_EDITOR") || has(Fault::kEditorFails))
            setEditor(new SmallEditor(this));
#endif
        if (has(Fault::kChatty)) std::fprintf(stderr, "broken plug-in: hello\n");
        if (has(Fault::kUnloadCrash)) worker = std::thread([this] { idleLoop(); });
        if (has(Fault::kLeakedThread)) std::thread([] { foreverLoop(); }).detach();
    }
    ~BrokenEffect() override {
        stopping = true;
        if (worker.joinable()) worker.join();
        if (has(Fault::kLeakAcrossThreads) && std::this_thread::get_id() != creator)
            scratch.release(); // NOLINT(bugprone-unused-return-value): the planted leak
    }
    BrokenEffect(const BrokenEffect&) = delete;
    BrokenEffect& operator=(const BrokenEffect&) = delete;

    bool getEffectName(char* name) override {
        copyText(name,
                 has(Fault::kLongName) ? "Broken Validator Test Plug-in With A Long Name"
                                       : "Broken",
                 has(Fault::kLongName) ? 64 : 32);
        return true;
    }
    bool getVendorString(char* text) override {
        copyText(text, "Zandrel developers", 64);
        return true;
    }
    bool getProductString(char* text) override {
        copyText(text, "Broken", 64);
        return true;
    }
    int32_t getVendorVersion() override {
        return 1;
    }
    int32_t getPlugCategory() override {
        return kPlugCategSynth;
    }
    int32_t canDo(char* text) override {
        for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                                "sendVstEvents", "sendVstMidiEvent"})
            if (std::strcmp(text, yes) == 0) return 1;
        return -1;
    }

    void setProgram(int32_t program) override {
        if (program >= 0 && program < kPrograms) curProgram = program;
    }
    bool getProgramNameIndexed(int32_t, int32_t index, char* text) override {
        if (index < 0 || index >= kPrograms) return false;
        copyText(text, index == 0 ? "First" : "Second");
        return true;
    }
    void getProgramName(char* name) override {
        getProgramNameIndexed(0, curProgram, name);
    }

    void setParameter(int32_t index, float value) override {
        if (index >= 0 && index < kParameters && std::isfinite(value))
            values()[index] = std::clamp(value, 0.0f, 1.0f);
    }
    float getParameter(int32_t index) override {
        if (index < 0 || index >= kParameters) return 0.0f;
        if (index == 0 && has(Fault::kTextRoundTrip)) return std::floor(values()[0] * 10) / 10;
        return values()[index];
    }
    void getParameterName(int32_t index, char* text) override {
        copyText(text, index >= 0 && index < kParameters ? kParameterNames[index] : "");
    }
    void getParameterLabel(int32_t index, char* text) override {
        copyText(text, index == 0 ? "ms" : "");
    }
    void getParameterDisplay(int32_t index, char* text) override {
        if (index < 0 || index >= kParameters) return copyText(text, "");
        const float v = values()[index];
        char number[32] = {};
        if (index == 0) {
            std::to_chars(number, number + sizeof number, lengthMs(v));
        } else if (index == 1 && has(Fault::kLocaleText)) {
            std::snprintf(number, sizeof number, "%.2f", v);
        } else if (index == 1) {
            std::to_chars(number, number + sizeof number, v, std::chars_format::fixed, 2);
        } else {
            std::to_chars(number, number + sizeof number,
                          index == 2 ? velocity() : static_cast<int>(std::lround(v * 2)));
        }
        copyText(text, number);
    }

    int32_t getChunk(void** data, bool) override {
        chunk[0] = kStateMagic;
        chunk[1] = static_cast<uint32_t>(curProgram);
        for (int p = 0; p < kPrograms; ++p)
            std::memcpy(&chunk[2 + p * kParameters], programs[p].data(), sizeof programs[p]);
        *data = chunk.data();
        return sizeof chunk;
    }
    int32_t setChunk(void* data, int32_t byteSize, bool) override {
        if (has(Fault::kDamagedStateTaken) && byteSize != sizeof chunk) {
            for (auto& program : programs) program = {0.5f, 0.5f, 0.8f, 0.5f};
            return 0;
        }
        decltype(chunk) in{};
        if (byteSize != sizeof in) return -1;
        std::memcpy(in.data(), data, sizeof in);
        if (in[0] != kStateMagic || in[1] >= kPrograms) return -1;
        std::array<std::array<float, kParameters>, kPrograms> loaded{};
        for (int p = 0; p < kPrograms; ++p) {
            std::memcpy(loaded[p].data(), &in[2 + p * kParameters], sizeof loaded[p]);
            for (const float v : loaded[p])
                if (!(v >= 0.0f && v <= 1.0f)) return -1;
            if (has(Fault::kStateNotRestored)) loaded[p][2] = programs[p][2];
        }
        programs = loaded;
        curProgram = static_cast<int32_t>(in[1]);
        return 0;
    }

    void resume() override {
        wantEvents();
    }

    int32_t processEvents(VstEvents* events) override {
        for (int32_t i = 0; i < events->numEvents && queued < kMaxEvents; ++i) {
            const VstEvent* e = events->events[i];
            if (e->type == kVstMidiType)
                input[queued++] = *reinterpret_cast<const VstMidiEvent*>(e);
        }
        return 1;
    }

    void processReplacing(float**, float** outputs, int32_t frames) override {
        count = 0;
        blockFrames = frames;
        if (frames <= 0) {
            if (has(Fault::kZeroFrameEvent)) send(0, 0x80, 0, 0);
            flush();
            return;
        }
        endLengths(frames);
        // The notes passed through at their frames and the sixteenths, in
        // the order of their frames: a key counts from its own frame on.
        int next = 0;
        for (const int32_t at : sixteenths(frames)) {
            for (; next < queued && input[next].deltaFrames <= at; ++next)
                passOn(input[next], frames);
            int channel = 0;
            int key = 0;
            if (!lowestHeld(channel, key)) continue;
            key += 12 * (1 + static_cast<int>(values()[3] * 1.99f));
            if (key <= 127) startNote(has(Fault::kBlockTiming) ? 0 : at, channel, key, frames);
        }
        for (; next < queued; ++next) passOn(input[next], frames);
        queued = 0;
        sound(outputs, frames);
        flush();
    }

private:
    std::array<float, kParameters>& values() {
        return programs[static_cast<size_t>(curProgram)];
    }
    const std::array<float, kParameters>& values() const {
        return programs[static_cast<size_t>(curProgram)];
    }
    int lengthMs(float v) const {
        return 20 + static_cast<int>(v * 480);
    }
    int velocity() const {
        return 1 + static_cast<int>(values()[2] * 126);
    }

    void send(int32_t at, uint8_t status, uint8_t data1, uint8_t data2) {
        if (count >= kMaxEvents) return;
        if (has(Fault::kEventOffset) && blockFrames == 1000 && (status & 0xF0) == 0x80)
            at = blockFrames;
        VstMidiEvent& e = output[count];
        e = VstMidiEvent{};
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = at;
        e.midiData[0] = static_cast<char>(status);
        e.midiData[1] = static_cast<char>(data1);
        e.midiData[2] = static_cast<char>(data2);
        pointers[count] = reinterpret_cast<VstEvent*>(&e);
        ++count;
    }

    void flush() {
        if (count == 0) return;
        auto* block = reinterpret_cast<VstEvents*>(eventBlock.data());
        block->numEvents = count;
        block->reserved = 0;
        // An array of pointers: the size of a pointer is meant.
        // NOLINTNEXTLINE(bugprone-sizeof-expression)
        const size_t bytes = sizeof(VstEvent*) * static_cast<size_t>(count);
        std::memcpy(eventBlock.data() + offsetof(VstEvents, events), pointers.data(), bytes);
        sendVstEventsToHost(block);
    }

    // The sixteenths' notes end when their length has run out.
    void endLengths(int32_t frames) {
        for (auto& n : sounding) {
            if (n.left < 0) continue;
            if (n.left < frames) {
                send(n.left, static_cast<uint8_t>(0x80 | n.channel), n.key, 0);
                n.left = -1;
            } else {
                n.left -= frames;
            }
        }
    }

    void allOff(int channel, int32_t at) {
        held[channel].fill(false);
        for (auto& n : sounding) {
            if (n.left < 0 || n.channel != channel) continue;
            send(at, static_cast<uint8_t>(0x80 | channel), n.key, 0);
            n.left = -1;
        }
    }

    // The lowest key held on the lowest channel, or false.
    bool lowestHeld(int& channel, int& key) const {
        for (channel = 0; channel < 16; ++channel)
            for (key = 0; key < 128; ++key)
                if (held[channel][key]) return true;
        return false;
    }

    // The frames of this block on which a sixteenth of the host's transport
    // falls, while it plays.
    std::vector<int32_t> sixteenths(int32_t frames) {
        std::vector<int32_t> at;
        const VstTimeInfo* time = getTimeInfo(kVstPpqPosValid | kVstTempoValid);
        if (!time || !(time->flags & kVstTransportPlaying) || time->tempo <= 0) return at;
        const double framesPerBeat = 60.0 * sampleRate / time->tempo;
        for (double next = std::ceil(time->ppqPos * 4 - 1e-9) / 4;; next += 0.25) {
            const auto frame =
                static_cast<int32_t>(std::llround((next - time->ppqPos) * framesPerBeat));
            if (frame >= frames) break;
            if (frame >= 0) at.push_back(frame);
        }
        return at;
    }

    // An incoming message passed on at its frame, its key remembered.
    void passOn(const VstMidiEvent& event, int32_t frames) {
        const auto* m = reinterpret_cast<const uint8_t*>(event.midiData);
        const int32_t at = std::clamp(event.deltaFrames, 0, frames - 1);
        const int kind = m[0] & 0xF0;
        const int channel = m[0] & 15;
        if (kind == 0x90 && m[2] > 0) held[channel][m[1] & 127] = true;
        if (kind == 0x80 || (kind == 0x90 && m[2] == 0)) held[channel][m[1] & 127] = false;
        if (kind == 0xB0 && m[1] == 123) allOff(channel, at);
        const bool lost = has(Fault::kHangingNote) && frames == 16 && kind == 0x80;
        if (!lost) send(at, m[0], m[1], m[2]);
    }

    void startNote(int32_t at, int channel, int key, int32_t frames) {
        for (auto& n : sounding) {
            if (n.left >= 0) continue;
            n.channel = channel;
            n.key = static_cast<uint8_t>(key);
            const auto length = static_cast<int32_t>(static_cast<double>(sampleRate) *
                                                     lengthMs(values()[0]) / 1000.0);
            send(at, static_cast<uint8_t>(0x90 | channel), n.key, static_cast<uint8_t>(velocity()));
            // Counted from the block's end, as endLengths runs next block.
            n.left = std::max(at + length - frames, 0);
            return;
        }
    }

    void sound(float** outputs, int32_t frames) {
        bool any = false;
        for (const auto& n : sounding) any = any || n.left >= 0;
        const float level = any ? 0.1f * values()[1] : 0.0f;
        for (int32_t i = 0; i < frames; ++i) {
            phase += 440.0 / sampleRate;
            phase -= std::floor(phase);
            float x = level * static_cast<float>(std::sin(6.283185307179586 * phase));
            if (std::fabs(x) < 1e-20f) x = 0.0f;
            if (has(Fault::kNanAudio) && sampleRate >= 88200 && any && i == 0) x = NAN;
            if (has(Fault::kSubnormalAudio) && sampleRate < 40000 && any && i == 0) x = 1e-40f;
            outputs[0][i] = x;
            outputs[1][i] = x;
        }
    }

    void idleLoop() {
        while (!stopping) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    static void foreverLoop() {
        for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    struct Sounding {
        int channel = 0;
        uint8_t key = 0;
        int32_t left = -1; // frames until its note-off, -1 when silent
    };
    std::array<std::array<float, kParameters>, kPrograms> programs{};
    std::array<uint32_t, 2 + kPrograms * kParameters> chunk{};
    std::array<VstMidiEvent, kMaxEvents> input{};
    int queued = 0;
    std::array<VstMidiEvent, kMaxEvents> output{};
    std::array<VstEvent*, kMaxEvents> pointers{};
    // VstEvents ends in an array of pointers: the size of a pointer is meant.
    // NOLINTNEXTLINE(bugprone-sizeof-expression)
    std::array<uint8_t, sizeof(VstEvents) + kMaxEvents * sizeof(VstEvent*)> eventBlock{};
    int count = 0;
    int32_t blockFrames = 0;
    std::array<std::array<bool, 128>, 16> held{};
    std::array<Sounding, 64> sounding{};
    double phase = 0.0;
    std::atomic<bool> stopping{false};
    std::thread worker;
    const std::thread::id creator = std::this_thread::get_id();
    std::unique_ptr<char[]> scratch = std::make_unique<char[]>(4096);
};

} // namespace

extern "C" {

__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback master) {
    if (!master || master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    return (new BrokenEffect(master))->getAeffect();
}

__attribute__((visibility("default"), alias("VSTPluginMain"))) AEffect*
brokenMainAlias(audioMasterCallback master) __asm__("main");
}

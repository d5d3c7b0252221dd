// Helpers shared by the tests that drive Zandrel.so through the host, and
// by every test that needs a scratch folder or another program's output.
#pragma once

#include "output_checks.h"
#include "parameter_indices.h"
#include "plugin_host.h"
#include "zandrel_vendor_services.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

inline constexpr const char* kPluginPath = ZANDREL_SO;

// A host with the plug-in loaded and resumed, the guard blocks run off so
// that host parameters are writable, and no events collected yet.
std::unique_ptr<PluginHost> makeHost(double sampleRate = 48000.0);
// The same with the arpeggiator off: keys play their chords.
std::unique_ptr<PluginHost> chordHost();

struct Note {
    int64_t time;
    int channel; // 1..16
    int note;
    int velocity; // 0 = note-off
    bool operator==(const Note&) const = default;
};

// The note events among what came back, note-ons with velocity 0 as offs;
// from any format's host of ours (their received events share the fields).
template <typename ReceivedEvent>
std::vector<Note> notesOf(const std::vector<ReceivedEvent>& events) {
    std::vector<Note> notes;
    for (const auto& e : events) {
        const int kind = e.status & 0xF0;
        if (kind != 0x90 && kind != 0x80) continue;
        notes.push_back({e.sampleTime, (e.status & 15) + 1, e.data1, kind == 0x90 ? e.data2 : 0});
    }
    return notes;
}
std::vector<Note> noteOnsOf(const std::vector<PluginHost::ReceivedEvent>& events);
// The note numbers of the note-ons, in the order they left.
std::vector<int> onNotes(const std::vector<PluginHost::ReceivedEvent>& events);
// The notes left sounding (see output_checks.h): empty when nothing hangs.
std::vector<NoteLedger::Hanging> hangingNotes(const std::vector<PluginHost::ReceivedEvent>& events);

// A note number as the note-edit parameters (33..40) and the current key
// (84) take it.
inline float noteValue(int note) {
    return static_cast<float>(note) / 128.0f;
}
// Makes `key` the current key and stores `notes` as its chord, the voices
// past them emptied, as the editor's note fields do.
void storeChord(PluginHost& host, int key, const std::vector<int>& notes);
// The state chunk the plug-in hands a host that saves its project.
std::vector<uint8_t> stateChunk(PluginHost& host);
// One of our vendor services, with a path (or "") and its opt value.
intptr_t service(PluginHost& host, VendorCall which, const std::string& path, float opt = 0.0f);
// The notes key `key` plays on channel 1, in the order they leave (the
// arpeggiator is switched off to hear them).
std::vector<int> chordOf(PluginHost& host, int key);

// A fresh folder below /tmp, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return folder; }
    std::string operator/(const std::string& name) const { return (folder / name).string(); }

private:
    std::filesystem::path folder;
};

std::string fileText(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// What a shell command printed (standard output and error) and its exit status.
struct CommandOutput {
    int status;
    std::string text;
};
CommandOutput runCommand(const std::string& command);

#include "test_host_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

std::unique_ptr<PluginHost> makeHost(double sampleRate) {
    PluginHost::Options options;
    options.sampleRate = sampleRate;
    auto host = std::make_unique<PluginHost>(kPluginPath, options);
    for (int i = 0; i < 10; ++i) host->processBlock(64);
    host->events.clear();
    return host;
}

std::unique_ptr<PluginHost> chordHost() {
    auto host = makeHost();
    host->setParameter(param::kArpOn, 0.0f);
    host->processBlock(64);
    host->events.clear();
    return host;
}

std::vector<Note> noteOnsOf(const std::vector<PluginHost::ReceivedEvent>& events) {
    std::vector<Note> ons;
    for (const Note& n : notesOf(events))
        if (n.velocity > 0) ons.push_back(n);
    return ons;
}

std::vector<int> onNotes(const std::vector<PluginHost::ReceivedEvent>& events) {
    std::vector<int> notes;
    for (const Note& n : noteOnsOf(events)) notes.push_back(n.note);
    return notes;
}

std::vector<NoteLedger::Hanging>
hangingNotes(const std::vector<PluginHost::ReceivedEvent>& events) {
    NoteLedger ledger;
    for (const auto& e : events) ledger.take(e.status, e.data1, e.data2);
    return ledger.hangingNotes();
}

void storeChord(PluginHost& host, int key, const std::vector<int>& notes) {
    host.setParameter(param::kCurrentKey, noteValue(key));
    for (int k = 0; k < 8; ++k)
        host.setParameter(param::kNoteNumFirst + k,
                          k < static_cast<int>(notes.size()) ? noteValue(notes[k]) : 0.0f);
}

std::vector<uint8_t> stateChunk(PluginHost& host) {
    void* data = nullptr;
    const auto size = host.dispatch(effGetChunk, 0, 0, &data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return bytes && size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>{};
}

intptr_t service(PluginHost& host, VendorCall which, const std::string& path, float opt) {
    return host.dispatch(effVendorSpecific, which, kVendorMagic, const_cast<char*>(path.c_str()),
                         opt);
}

std::vector<int> chordOf(PluginHost& host, int key) {
    host.setParameter(param::kArpOn, 0.0f);
    host.events.clear();
    host.noteOn(0, 1, key, 100);
    host.processBlock(32);
    host.noteOn(0, 1, key, 0);
    host.processBlock(32);
    std::vector<int> notes = onNotes(host.events);
    host.events.clear();
    return notes;
}

ScratchFolder::ScratchFolder() {
    char pattern[] = "/tmp/zandrel-test-XXXXXX";
    if (mkdtemp(pattern)) folder = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

CommandOutput runCommand(const std::string& command) {
    CommandOutput out{-1, {}};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.text.append(buffer, n);
    const int raw = pclose(pipe);
    out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

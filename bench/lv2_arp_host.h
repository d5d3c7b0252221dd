// A minimal LV2 host for one MIDI arpeggiator plug-in (the peer in the
// side-by-side benchmark): the URID map it requires, one atom sequence in
// (MIDI and the host's time position), one atom sequence out, control ports
// at their defaults unless set.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class Lv2ArpHost {
public:
    // Loads the plug-in with the given URI from the installed bundles;
    // loaded() is false (and error() says why) when it is not there.
    Lv2ArpHost(const std::string& uri, double sampleRate, int32_t maxBlock);
    ~Lv2ArpHost();
    Lv2ArpHost(const Lv2ArpHost&) = delete;
    Lv2ArpHost& operator=(const Lv2ArpHost&) = delete;

    bool loaded() const;
    const std::string& error() const;

    // A control input by its symbol; false when the plug-in has no such port.
    bool setControl(const std::string& symbol, float value);
    // Queued for the next block: a time position (rolling or not, at a
    // frame, tempo) and MIDI notes.
    void queuePosition(int64_t frame, double beatsPerMinute, bool rolling);
    // An object with one string property, as a plug-in's own user interface
    // may send it (the peer takes its pattern text this way).
    void queueObjectString(const std::string& objectType, const std::string& key,
                           const std::string& text);
    void queueNote(int32_t offset, uint8_t status, uint8_t note, uint8_t velocity);
    // Runs one block; answers the note-ons the plug-in sent in it.
    int runBlock(int32_t frames);

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

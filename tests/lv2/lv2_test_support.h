// Helpers shared by the tests that drive the LV2 bundle through our host.
#pragma once

#include "lv2_host.h"
#include "test_host_support.h"

#include <vector>

inline constexpr const char* kBundlePath = ZANDREL_LV2_BUNDLE;

// The note events among what the LV2 build sent, as notesOf gives them for
// the VST 2.4 build.
inline std::vector<Note> lv2NotesOf(const std::vector<Lv2Host::ReceivedEvent>& events) {
    std::vector<Note> notes;
    for (const auto& e : events) {
        const int kind = e.status & 0xF0;
        if (kind != 0x90 && kind != 0x80) continue;
        notes.push_back({e.sampleTime, (e.status & 15) + 1, e.data1, kind == 0x90 ? e.data2 : 0});
    }
    return notes;
}

// Helpers of the tests that drive Zandrel.clap through our CLAP host,
// mostly beside Zandrel.so through the VST 2.4 host for comparison.
#pragma once

#include "clap_host.h"
#include "test_host_support.h"
#include "zandrel_clap_services.h"

#include <memory>
#include <tuple>
#include <vector>

inline constexpr const char* kClapPath = ZANDREL_CLAP_PLUGIN;

// Zandrel.clap created and activated, the guard blocks after activation
// run off (as makeHost does for Zandrel.so), nothing collected yet.
std::unique_ptr<ClapHost> makeClapHost(ClapHost::Options options = {});

// Zandrel's own extension (seeding, presets, the editor's parameters).
const zandrel_clap_services& services(ClapHost& host);
// Both formats' random sources seeded alike, for comparing their sound.
void seedRandom(PluginHost& host, uint64_t seed);
void seedRandom(ClapHost& host, uint64_t seed);

// A sent MIDI message on the host's timeline, for comparing the formats.
using Sent = std::tuple<int64_t, int, int, int>; // sample, status, data 1, data 2
std::vector<Sent> sentOf(const std::vector<PluginHost::ReceivedEvent>& events);
std::vector<Sent> sentOf(const std::vector<ClapHost::ReceivedEvent>& events);

// The notes key `key` plays on channel 1, in the order they leave (the
// arpeggiator switched off to hear them).
std::vector<int> chordOf(ClapHost& host, int key);

// Puts the plug-in into the state the user asks for: a preset file, a raw
// state chunk, single parameters; and saves its state.
#pragma once

#include "render_host.h"

#include <cstdint>
#include <string>

// Seeds the plug-in's random source, so a render can be repeated exactly.
void seedRandomSource(RenderHost& host, uint64_t seed);

// A .fxp preset: a whole-state preset goes in as a state chunk; a chord or
// an arpeggiator preset through the plug-in's own loaders.
void loadPresetFile(RenderHost& host, const std::string& path);
void loadChunkFile(RenderHost& host, const std::string& path);

// "NAME=VALUE" (the name as the host sees it, without trailing blanks) or
// "INDEX=VALUE"; VALUE between 0 and 1.
void applyParameterSetting(RenderHost& host, const std::string& setting);

// The plug-in's whole state as a chunk, as a host saves it in a project.
std::string stateChunk(RenderHost& host);

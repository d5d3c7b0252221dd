// Writes the plug-in's two preview outputs as a stereo 32-bit float WAV.
#pragma once

#include <string>
#include <vector>

void writeStereoWav(const std::string& path, const std::vector<float>& left,
                    const std::vector<float>& right, int sampleRate); // throws RenderError

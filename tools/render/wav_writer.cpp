#include "wav_writer.h"

#include "render_error.h"

#include <algorithm>
#include <memory>
#include <sndfile.h>

void writeStereoWav(const std::string& path, const std::vector<float>& left,
                    const std::vector<float>& right, int sampleRate) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(path.c_str(), SFM_WRITE, &info),
                                                     sf_close);
    if (!file) throw RenderError("cannot write the WAV file: " + std::string(sf_strerror(nullptr)));

    const size_t frames = std::min(left.size(), right.size());
    std::vector<float> interleaved(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    if (sf_writef_float(file.get(), interleaved.data(), static_cast<sf_count_t>(frames)) !=
        static_cast<sf_count_t>(frames))
        throw RenderError("cannot write the WAV file: " + std::string(sf_strerror(file.get())));
    if (sf_close(file.release()) != 0) throw RenderError("cannot finish the WAV file");
}

// zandrel-render: plays a MIDI file through Zandrel.so, exactly as a DAW
// would, and writes what comes out as a MIDI file, a WAV file and a
// piano-roll picture.
#include "midi_writer.h"
#include "pending_file.h"
#include "piano_roll.h"
#include "plugin_state.h"
#include "progress_bar.h"
#include "render_error.h"
#include "render_session.h"
#include "smf_reader.h"
#include "tempo_map.h"
#include "wav_writer.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

constexpr int kFailure = 2;
constexpr double kProgressAfterSeconds = 5.0;

struct Options {
    std::string input;
    std::string midiOut, wavOut, rollOut, chunkOut;
    std::string preset, chunk;
    std::vector<std::string> settings;
    std::optional<double> tempo;
    double rate = 48000;
    int block = 256;
    uint64_t seed = 1;
    std::string plugin;
    double maxTail = 30;
    bool quiet = false;
};

// Zandrel.so sits next to the renderer in the build folder.
std::string defaultPluginPath() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "Zandrel.so";
    return (self.parent_path() / "Zandrel.so").string();
}

void describe(CLI::App& app, Options& o) {
    app.description(
        "Plays a MIDI file through the Zandrel chord memory and arpeggiator, as a DAW\n"
        "would with its transport running from the start of the song, and writes\n"
        "what Zandrel plays: a MIDI file, a WAV file of its preview sound, a picture.\n");
    app.footer("Example, the chord memory alone:\n"
               "  zandrel-render song.mid -o chords.mid --wav chords.wav --roll chords.png \\\n"
               "                 --set \"Arp ON=0\"");
    app.add_option("song", o.input, "The MIDI file to play in (type 0 or 1)")
        ->required()
        ->type_name("SONG.mid");
    app.add_option("-o,--output", o.midiOut,
                   "Write the notes Zandrel plays to this MIDI file (type 0, 960 ticks per\n"
                   "quarter note, same tempo as the input)")
        ->type_name("OUT.mid");
    app.add_option("--wav", o.wavOut, "Write Zandrel's preview sound (stereo, 32-bit float)")
        ->type_name("OUT.wav");
    app.add_option("--roll", o.rollOut,
                   "Draw a piano roll: your notes above (outlined), Zandrel's below (filled),\n"
                   "one colour per MIDI channel, bars numbered")
        ->type_name("OUT.png");
    app.add_option("--preset", o.preset,
                   "Load a Zandrel preset first: a whole-state, chord or arpeggiator preset")
        ->type_name("FILE.fxp")
        ->group("Sound settings");
    app.add_option("--chunk", o.chunk, "Load Zandrel's whole state from a saved state chunk")
        ->type_name("FILE")
        ->group("Sound settings");
    app.add_option("--set", o.settings,
                   "Set a parameter by its name or number, value 0 to 1, e.g.\n"
                   "--set \"Arp ON=0\" --set Swing=0.3 --set 3=0.25 (may be repeated)")
        ->type_name("NAME=VALUE")
        ->group("Sound settings");
    app.add_option("--seed", o.seed,
                   "Seed of Zandrel's random choices; the same seed gives the same render")
        ->type_name("NUMBER")
        ->default_val(1)
        ->group("Sound settings");
    app.add_option("--save-chunk", o.chunkOut, "After the render, save Zandrel's whole state here")
        ->type_name("FILE")
        ->group("Sound settings");
    app.add_option("--tempo", o.tempo,
                   "Play at this constant tempo instead of the file's tempo map")
        ->type_name("BPM")
        ->check(CLI::Range(1.0, 999.0).description(""))
        ->group("Timing");
    app.add_option("--rate", o.rate, "Sample rate, as a host would run at")
        ->type_name("HZ")
        ->default_val(48000)
        ->check(CLI::Range(8000.0, 384000.0).description(""))
        ->group("Timing");
    app.add_option("--block", o.block, "Frames per processing block, as a host's buffer size")
        ->type_name("FRAMES")
        ->default_val(256)
        ->check(CLI::Range(1, 4096).description(""))
        ->group("Timing");
    app.add_option("--max-tail", o.maxTail,
                   "After the song ends, keep playing until every note has ended, but no\n"
                   "longer than this")
        ->type_name("SECONDS")
        ->default_val(30)
        ->check(CLI::Range(0.0, 3600.0).description(""))
        ->group("Timing");
    app.add_option("--plugin", o.plugin,
                   "The plug-in to load (default: Zandrel.so next to this program)")
        ->type_name("PATH")
        ->group("Other");
    app.add_flag("-q,--quiet", o.quiet, "Print nothing but errors")->group("Other");
}

// The plug-in greets its host on stderr when it is opened; that line means
// nothing to someone rendering a song, so it goes nowhere.
class SilencedStderr {
public:
    SilencedStderr() : saved(dup(STDERR_FILENO)) {
        std::fflush(stderr);
        const int nowhere = open("/dev/null", O_WRONLY);
        if (nowhere >= 0) {
            dup2(nowhere, STDERR_FILENO);
            close(nowhere);
        }
    }
    ~SilencedStderr() {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, STDERR_FILENO);
            close(saved);
        }
    }
    SilencedStderr(const SilencedStderr&) = delete;
    SilencedStderr& operator=(const SilencedStderr&) = delete;

private:
    int saved;
};

int countNoteOns(const std::vector<TimedMidi>& events) {
    int count = 0;
    for (const auto& e : events) count += (e.status & 0xF0) == 0x90 && e.data2 > 0;
    return count;
}

constexpr int32_t kPreviewParameter = 104;

int run(const Options& o) {
    const SmfFile song = [&] {
        try {
            return readSmfFile(o.input);
        } catch (const SmfError& e) {
            throw RenderError(e.what());
        }
    }();
    const TempoMap tempo = o.tempo ? TempoMap::constant(song, *o.tempo) : TempoMap::ofFile(song);

    // Output files are reserved first: an unwritable folder is found before
    // the render, and nothing appears unless everything succeeds.
    std::vector<std::unique_ptr<PendingFile>> outputs;
    auto reserve = [&](const std::string& path) -> PendingFile* {
        if (path.empty()) return nullptr;
        outputs.push_back(std::make_unique<PendingFile>(path));
        return outputs.back().get();
    };
    PendingFile* midiFile = reserve(o.midiOut);
    PendingFile* wavFile = reserve(o.wavOut);
    PendingFile* rollFile = reserve(o.rollOut);
    PendingFile* chunkFile = reserve(o.chunkOut);

    PluginHost::Options hostOptions;
    hostOptions.sampleRate = o.rate;
    hostOptions.maxBlockSize = std::max(o.block, RenderSession::kShortestMaxBlock);
    hostOptions.productString = "zandrel-render";
    const std::string pluginPath = o.plugin.empty() ? defaultPluginPath() : o.plugin;
    auto quiet = std::make_unique<SilencedStderr>();
    PluginHost host(pluginPath, hostOptions);
    quiet.reset();
    if (!host.loaded()) throw RenderError("cannot load " + pluginPath + ": " + host.error());

    seedRandomSource(host, o.seed);
    // A new instance's preview is off unless the configuration turns it on;
    // a WAV is of the preview, so it sounds (a loaded state or --set can
    // still mute it).
    if (wavFile) host.setParameter(kPreviewParameter, 1.0f);
    if (!o.preset.empty()) loadPresetFile(host, o.preset);
    if (!o.chunk.empty()) loadChunkFile(host, o.chunk);
    RenderSettings settings;
    settings.blockFrames = o.block;
    settings.maxTailSeconds = o.maxTail;
    settings.captureAudio = wavFile != nullptr;
    RenderSession session(host, settings);
    session.passLoadGuard();
    for (const auto& setting : o.settings) applyParameterSetting(host, setting);

    const double songSeconds = tempo.secondsOfTick(song.endTick);
    ProgressBar bar(!o.quiet && isatty(STDERR_FILENO) && songSeconds > kProgressAfterSeconds);
    const RenderResult result =
        session.render(song, tempo, [&](double fraction) { bar.show(fraction); });
    bar.finish();

    if (midiFile)
        midiFile->write(
            midiFileBytes(result.output, tempo, song.timeSignature, o.rate, result.frames));
    if (wavFile)
        writeStereoWav(wavFile->path(), result.left, result.right, static_cast<int>(o.rate));
    if (rollFile) writePianoRoll(rollFile->path(), result, tempo, song.timeSignature, o.rate);
    if (chunkFile) chunkFile->write(stateChunk(host));
    for (auto& file : outputs) file->commit();

    if (!o.quiet)
        std::printf("%s: %d notes in, %d notes out, %.2f s\n", o.input.c_str(),
                    countNoteOns(result.input), countNoteOns(result.output),
                    static_cast<double>(result.frames) / o.rate);
    return 0;
}

int commandLine(int argc, char** argv) {
    CLI::App app;
    app.name("zandrel-render");
    Options options;
    describe(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kFailure;
    }
    try {
        return run(options);
    } catch (const RenderError& e) {
        std::fprintf(stderr, "zandrel-render: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zandrel-render: %s\n", e.what());
    }
    return kFailure;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return commandLine(argc, argv);
    } catch (...) { // setting up the command line itself failed (out of memory)
        std::fputs("zandrel-render: out of resources\n", stderr);
        return kFailure;
    }
}

// The same session under the C locale and under de_DE.UTF-8, whose decimal
// separator is a comma: hosts built on toolkits set the user's locale for
// the whole process, and a plug-in's texts, states and notes must not
// change with it.
#include "checks.h"
#include "player.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <sstream>

namespace validate {

namespace {

constexpr double kRate = 48000.0;
constexpr const char* kCommaLocale = "de_DE.UTF-8";

// Numbers written by the validator itself the same way in every locale.
std::string exact(double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return {text, end};
}

// Everything a host would show or keep from one fixed session, one line each.
std::vector<std::string> session(CheckContext& c, PluginFormat& format, uint64_t seed) {
    std::vector<std::string> lines;
    auto instance = c.create(format);
    if (!instance) return lines;
    PluginInstance& p = *instance;
    SeededRandom random(seed);
    const PluginInfo info = p.info();
    lines.push_back("info " + info.name + " | " + info.vendor + " | " + info.version + " | " +
                    info.category);
    for (int i = 0; i < p.parameterCount(); ++i) {
        const ParameterInfo pi = p.parameterInfo(i);
        lines.push_back("parameter " + std::to_string(i) + " " + pi.name + " | " + pi.unit + " | " +
                        exact(pi.min) + " | " + exact(pi.max));
    }
    // What the format's rules say of these texts is the info check's.
    (void)p.takeFormatFaults();
    Player player(p, c.log);
    player.start(kRate, 512);
    p.setTransport(true, 120.0, 0.0);
    for (int round = 0; round < c.scaled(20); ++round) {
        for (int i = 0; i < p.parameterCount(); ++i) {
            const ParameterInfo pi = p.parameterInfo(i);
            p.setParameter(i,
                           random.chance(20) ? pi.max : pi.min + (pi.max - pi.min) * random.unit());
        }
        for (int i = 0; i < p.parameterCount(); ++i)
            lines.push_back("round " + std::to_string(round) + " parameter " + std::to_string(i) +
                            " " + exact(p.parameter(i)) + " \"" + p.parameterText(i) + "\"");
        player.schedule(randomNotes(random, player.position(), 4800, kRate, 1));
        player.play(4800, 512);
    }
    player.letGo(512);
    const std::vector<uint8_t> state = p.saveState();
    for (size_t at = 0; at < state.size(); at += 32) {
        std::ostringstream hex;
        hex << "state at byte " << at << ":" << std::hex;
        for (size_t i = at; i < std::min(at + 32, state.size()); ++i) hex << ' ' << int(state[i]);
        lines.push_back(hex.str());
    }
    size_t index = 0;
    for (const NoteOn& on : player.noteOns())
        lines.push_back("note-on " + std::to_string(index++) + " at " + std::to_string(on.frame) +
                        " ch" + std::to_string(on.channel) + " key " + std::to_string(on.key));
    player.stop();
    return lines;
}

} // namespace

void localeCheck(CheckContext& c) {
    auto format = c.loadFormat();
    if (!format) return;
    const uint64_t seed = c.random.next();
    c.log.at(0.0, -1, "the session under C");
    std::setlocale(LC_ALL, "C");
    const std::vector<std::string> plain = session(c, *format, seed);
    c.log.at(0.0, -1, std::string("the session under ") + kCommaLocale);
    if (!std::setlocale(LC_ALL, kCommaLocale)) {
        c.log.fail(std::string("the locale ") + kCommaLocale +
                   " is not installed (scripts/install-deps makes it)");
        return;
    }
    const std::vector<std::string> comma = session(c, *format, seed);
    std::setlocale(LC_ALL, "C");
    for (size_t i = 0; i < std::max(plain.size(), comma.size()); ++i) {
        const std::string a = i < plain.size() ? plain[i] : "(nothing)";
        const std::string b = i < comma.size() ? comma[i] : "(nothing)";
        if (a == b) continue;
        c.log.fail("under C: " + a.substr(0, 120) + "; under " + kCommaLocale + ": " +
                   b.substr(0, 120));
        break;
    }
    c.log.did(std::to_string(plain.size()) + " texts, values, state bytes and notes compared " +
              "between C and " + kCommaLocale);
}

} // namespace validate

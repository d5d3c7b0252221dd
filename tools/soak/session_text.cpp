#include "session_text.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace soak {

namespace {

std::string number(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

std::string number(float x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(x));
    return text;
}

double parseNumber(const std::string& word) {
    return std::strtod(word.c_str(), nullptr); // nan, inf and -inf included
}

} // namespace

std::string sessionText(const Session& session) {
    std::ostringstream out;
    out << "seed " << session.seed << '\n';
    for (const Step& s : session.steps) {
        switch (s.kind) {
        case Step::kBlock: {
            out << "block " << s.frames;
            char event[48];
            for (const MidiIn& m : s.midi) {
                std::snprintf(event, sizeof event, " | %d %02x %02x %02x", m.deltaFrames, m.status,
                              m.data1, m.data2);
                out << event;
            }
            break;
        }
        case Step::kParameter:
            out << "param " << s.index << ' ' << number(s.value);
            break;
        case Step::kPlay:
            out << "play " << s.index;
            break;
        case Step::kLocate:
            out << "locate " << number(s.position);
            break;
        case Step::kLoop:
            out << "loop " << s.index << ' ' << number(s.position) << ' ' << number(s.loopEnd);
            break;
        case Step::kTempo:
            out << "tempo " << number(s.position);
            break;
        case Step::kSampleRate:
            out << "rate " << s.index;
            break;
        case Step::kChunkLoad:
            out << "chunk " << s.index << ' ' << s.seed;
            break;
        case Step::kReadBack:
            out << "read " << s.index;
            break;
        }
        out << '\n';
    }
    return out.str();
}

std::optional<Session> parseSession(const std::string& text) {
    Session session;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        std::string word, a, b, c;
        in >> word;
        Step s;
        if (word == "seed") {
            in >> session.seed;
            continue;
        } else if (word == "block") {
            s.kind = Step::kBlock;
            in >> s.frames;
            std::string bar;
            while (in >> bar) {
                if (bar != "|") return std::nullopt;
                MidiIn m{};
                unsigned status = 0, d1 = 0, d2 = 0;
                in >> m.deltaFrames >> std::hex >> status >> d1 >> d2 >> std::dec;
                if (!in) return std::nullopt;
                m.status = static_cast<uint8_t>(status);
                m.data1 = static_cast<uint8_t>(d1);
                m.data2 = static_cast<uint8_t>(d2);
                s.midi.push_back(m);
            }
        } else if (word == "param") {
            s.kind = Step::kParameter;
            in >> s.index >> a;
            s.value = static_cast<float>(parseNumber(a));
        } else if (word == "play") {
            s.kind = Step::kPlay;
            in >> s.index;
        } else if (word == "locate") {
            s.kind = Step::kLocate;
            in >> a;
            s.position = parseNumber(a);
        } else if (word == "loop") {
            s.kind = Step::kLoop;
            in >> s.index >> a >> b;
            s.position = parseNumber(a);
            s.loopEnd = parseNumber(b);
        } else if (word == "tempo") {
            s.kind = Step::kTempo;
            in >> a;
            s.position = parseNumber(a);
        } else if (word == "rate") {
            s.kind = Step::kSampleRate;
            in >> s.index;
        } else if (word == "chunk") {
            s.kind = Step::kChunkLoad;
            in >> s.index >> s.seed;
        } else if (word == "read") {
            s.kind = Step::kReadBack;
            in >> s.index;
        } else {
            return std::nullopt;
        }
        session.steps.push_back(std::move(s));
    }
    return session;
}

} // namespace soak

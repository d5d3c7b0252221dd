#include "check_log.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace validate {

namespace {
// Failures written per check; the rest are only counted.
constexpr int kFailuresWritten = 6;

std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text;
}

std::string placeFields(const Place& p) {
    std::ostringstream out;
    out << p.rate << '\t' << p.block << '\t' << oneLine(p.doing);
    return out.str();
}

Place placeOf(const std::string& fields) {
    Place p;
    std::istringstream in(fields);
    in >> p.rate >> p.block;
    in.get();
    std::getline(in, p.doing, '\t');
    return p;
}
} // namespace

std::string Place::text() const {
    std::ostringstream out;
    if (rate > 0.0) out << rate << " Hz";
    if (block >= 0) out << (rate > 0.0 ? ", " : "") << "block " << block;
    if (!doing.empty()) out << (rate > 0.0 || block >= 0 ? ", " : "") << doing;
    return out.str();
}

void CheckLog::write(char kind, const std::string& text) {
    const std::string line = std::string(1, kind) + text + "\n";
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

void CheckLog::at(const Place& place) {
    std::lock_guard<std::mutex> guard(lock);
    current = place;
    write('P', placeFields(current));
}

Place CheckLog::place() const {
    std::lock_guard<std::mutex> guard(lock);
    return current;
}

void CheckLog::at(double rate, int32_t block, const std::string& doing) {
    at(Place{rate, block, doing});
}

void CheckLog::did(const std::string& what) {
    std::lock_guard<std::mutex> guard(lock);
    write('D', oneLine(what));
}

void CheckLog::fail(const std::string& what) {
    std::lock_guard<std::mutex> guard(lock);
    if (++failureCount <= kFailuresWritten) write('F', placeFields(current) + '\t' + oneLine(what));
}

void CheckLog::notBuilt(const std::string& why) {
    std::lock_guard<std::mutex> guard(lock);
    wasSkipped = true;
    write('N', oneLine(why));
}

void CheckLog::finish() {
    std::lock_guard<std::mutex> guard(lock);
    write('X', std::to_string(failureCount));
}

CheckRecord readCheckRecord(int fd) {
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    CheckRecord r;
    std::istringstream in(text);
    std::string line;
    int failuresWritten = 0;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const std::string body = line.substr(1);
        switch (line[0]) {
        case 'P':
            r.lastPlace = placeOf(body);
            break;
        case 'D':
            r.summary += (r.summary.empty() ? "" : "; ") + body;
            break;
        case 'N':
            r.notBuilt = body;
            break;
        case 'F': {
            // The place's three fields, then the failure.
            size_t at = 0;
            for (int i = 0; i < 3 && at != std::string::npos; ++i) at = body.find('\t', at + 1);
            const Place place = placeOf(body.substr(0, at));
            if (failuresWritten++ == 0) r.firstFailurePlace = place;
            const std::string where = place.text();
            r.failures += (where.empty() ? "" : "at " + where + ": ") +
                          (at == std::string::npos ? body : body.substr(at + 1)) + "\n";
            break;
        }
        case 'X':
            r.finished = true;
            r.failureCount = std::stoi(body);
            break;
        default:
            break;
        }
    }
    if (!r.finished) r.failureCount = failuresWritten;
    return r;
}

} // namespace validate

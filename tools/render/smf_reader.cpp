#include "smf_reader.h"

#include "midi_status.h"
#include "smf_bytes.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

// Larger inputs are refused before they are read: a song is a few hundred
// kilobytes, and the renderer keeps every event in memory.
constexpr size_t kMaxFileBytes = 64u << 20;

// The shared cursor, failing loudly: a file that ends too early is an error.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes) : cursor(bytes.data(), bytes.size()) {}

    bool atEnd() const { return cursor.atEnd(); }
    size_t remaining() const { return cursor.remaining(); }

    uint8_t byte() {
        uint8_t b;
        if (!cursor.byte(b)) throw SmfError("the file ends in the middle of an event");
        return b;
    }
    uint8_t peek() const {
        uint8_t b;
        if (!cursor.peek(b)) throw SmfError("the file ends in the middle of an event");
        return b;
    }
    uint32_t bigEndian(int count) {
        uint32_t value;
        if (!cursor.bigEndian(count, value))
            throw SmfError("the file ends in the middle of an event");
        return value;
    }
    // A variable-length quantity: at most four bytes, as the format allows.
    uint32_t variableLength() {
        uint32_t value;
        bool tooLong = false;
        if (!cursor.quantity(value, &tooLong))
            throw SmfError("the file ends in the middle of an event");
        if (tooLong) throw SmfError("a length or time value is longer than four bytes");
        return value;
    }
    std::span<const uint8_t> take(size_t count) {
        const uint8_t* part = cursor.take(count);
        if (!part && count > 0) throw SmfError("the file ends in the middle of an event");
        return {part, count};
    }

private:
    SmfCursor cursor;
};

void readTrack(std::span<const uint8_t> track, SmfFile& file) {
    ByteCursor in(track);
    int64_t tick = 0;
    uint8_t runningStatus = 0;
    while (!in.atEnd()) {
        tick += in.variableLength();
        uint8_t status = in.peek();
        if (status & 0x80) {
            in.byte();
        } else if (runningStatus) {
            status = runningStatus;
        } else {
            throw SmfError("a data byte comes without a status byte before it");
        }

        if (status == 0xFF) {
            const uint8_t type = in.byte();
            const auto data = in.take(in.variableLength());
            if (type == 0x2F) {
                file.endTick = std::max(file.endTick, tick);
                return; // anything after the end of the track is ignored
            }
            if (type == 0x51 && data.size() == 3) {
                const uint32_t micros = (uint32_t{data[0]} << 16) | (data[1] << 8) | data[2];
                if (micros > 0) file.tempoChanges.push_back({tick, micros});
            } else if (type == 0x58 && data.size() >= 2 && file.events.empty() && data[1] < 8 &&
                       data[0] > 0) {
                file.timeSignature = {data[0], 1 << data[1]};
            }
            runningStatus = 0;
        } else if (status == 0xF0 || status == 0xF7) {
            in.take(in.variableLength()); // system exclusive: not played
            runningStatus = 0;
        } else if (status >= 0xF0) {
            throw SmfError("the file holds an unknown system message");
        } else {
            runningStatus = status;
            SmfEvent event{tick, status, in.byte(), 0};
            if (dataBytesOf(status) == 2) event.data2 = in.byte();
            if ((event.data1 | event.data2) & 0x80)
                throw SmfError("a channel message has a data byte above 127");
            file.events.push_back(event);
        }
        file.endTick = std::max(file.endTick, tick);
    }
}

} // namespace

SmfFile readSmf(std::span<const uint8_t> bytes) {
    if (bytes.size() > kMaxFileBytes) throw SmfError("the file is too large for a MIDI file");
    ByteCursor in(bytes);
    if (in.remaining() < 14 || in.bigEndian(4) != 0x4D546864) // "MThd"
        throw SmfError("this is not a Standard MIDI File (no MThd header)");
    const uint32_t headerLength = in.bigEndian(4);
    if (headerLength < 6) throw SmfError("the MIDI file header is too short");
    SmfFile file;
    file.format = static_cast<int>(in.bigEndian(2));
    const uint32_t declaredTracks = in.bigEndian(2);
    const uint32_t division = in.bigEndian(2);
    in.take(headerLength - 6);
    if (file.format == 2)
        throw SmfError("format 2 MIDI files (independent patterns) cannot be played");
    if (file.format > 2) throw SmfError("unknown MIDI file format");
    if (division & 0x8000) {
        const int framesPerSecond = -static_cast<int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if (framesPerSecond <= 0 || ticksPerFrame == 0)
            throw SmfError("the file's SMPTE time base is invalid");
        // 29 means 29.97 frames per second (drop frame).
        file.ticksPerSecond =
            (framesPerSecond == 29 ? 29.97 : framesPerSecond) * static_cast<double>(ticksPerFrame);
    } else {
        if (division == 0) throw SmfError("the file's time division is zero");
        file.ticksPerQuarter = static_cast<int>(division);
    }

    // Tracks are merged in file order; a stable sort keeps equal ticks in
    // the order the file gives them, so a note-off before a note-on stays so.
    while (in.remaining() >= 8 && file.trackCount < static_cast<int>(declaredTracks)) {
        const uint32_t id = in.bigEndian(4);
        const uint32_t length = in.bigEndian(4);
        if (length > in.remaining()) throw SmfError("a track is longer than the file");
        const auto chunk = in.take(length);
        if (id != 0x4D54726B) continue; // unknown chunk types are skipped
        readTrack(chunk, file);
        ++file.trackCount;
    }
    if (file.trackCount == 0) throw SmfError("the file holds no track");
    std::stable_sort(file.events.begin(), file.events.end(),
                     [](const SmfEvent& a, const SmfEvent& b) { return a.tick < b.tick; });
    std::stable_sort(
        file.tempoChanges.begin(), file.tempoChanges.end(),
        [](const SmfTempoChange& a, const SmfTempoChange& b) { return a.tick < b.tick; });
    return file;
}

SmfFile readSmfFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) throw SmfError("cannot open " + path);
    std::vector<uint8_t> bytes;
    char buffer[65536];
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + stream.gcount());
        if (bytes.size() > kMaxFileBytes) throw SmfError(path + " is too large for a MIDI file");
    }
    if (stream.bad()) throw SmfError("cannot read " + path);
    try {
        return readSmf(bytes);
    } catch (const SmfError& e) {
        throw SmfError(path + ": " + e.what());
    }
}

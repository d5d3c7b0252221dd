// The state: the same 27512-byte chunk the VST 2.4 build keeps in a
// project, so that a project moves between the two. Streams may move fewer
// bytes per call than asked; a stream that fails, or bytes the chunk
// loader refuses by their length, leave the state as it was.
#include "clap_extensions.h"
#include "zandrel_clap.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

// Longer than any block the loader takes (older chunks are a little
// longer than today's): anything beyond is not ours.
constexpr uint64_t kMaxStateBytes = 1u << 20;

ZandrelClap* self(const clap_plugin* p) {
    return ZandrelClap::of(p);
}

bool save(const clap_plugin* p, const clap_ostream* stream) {
    return stream && stream->write && self(p)->saveState(*stream);
}

bool load(const clap_plugin* p, const clap_istream* stream) {
    return stream && stream->read && self(p)->loadState(*stream);
}

} // namespace

const clap_plugin_state kZandrelState = {save, load};

bool ZandrelClap::saveState(const clap_ostream& stream) {
    void* data = nullptr;
    const int32_t size = engine.getChunk(&data);
    if (size <= 0 || !data) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint64_t written = 0;
    while (written < static_cast<uint64_t>(size)) {
        const int64_t n = stream.write(&stream, bytes + written, size - written);
        if (n <= 0 || static_cast<uint64_t>(n) > size - written) return false;
        written += static_cast<uint64_t>(n);
    }
    return true;
}

bool ZandrelClap::loadState(const clap_istream& stream) {
    // Room for today's chunk and a little more; a longer stream grows it up
    // to one byte past the longest state taken, so that such a stream is
    // known to be too long.
    std::vector<uint8_t> bytes;
    uint64_t total = 0;
    try {
        bytes.resize(32768);
        for (;;) {
            if (total == bytes.size()) {
                if (total > kMaxStateBytes) return false;
                bytes.resize(std::min<uint64_t>(total * 2, kMaxStateBytes + 1));
            }
            const int64_t n = stream.read(&stream, bytes.data() + total, bytes.size() - total);
            if (n == 0) break;
            if (n < 0 || static_cast<uint64_t>(n) > bytes.size() - total) return false;
            total += static_cast<uint64_t>(n);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (total == 0 || total > kMaxStateBytes) return false;
    loadingState = true;
    const int32_t result = engine.setChunk(bytes.data(), static_cast<int32_t>(total));
    loadingState = false;
    if (result != 0) return false;
    rescanParameters();
    return true;
}

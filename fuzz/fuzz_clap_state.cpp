// Zandrel.clap's state load through the CLAP stream interface: streams that
// move a few bytes per call, fail midway, end early or run long, carrying a
// valid state with the fuzzer's bytes laid over it, or raw bytes. A load
// that is refused changes nothing; one that is taken saves a state that
// loads again. Saving through short and failing writes gives the one-call
// save or fails.
//   byte 0: kind (even: the template state overlaid, odd: raw bytes)
//   byte 1: bytes per read or write call (0: all at once)
//   bytes 2..3: the byte a call may not pass without failing (0xFFFF:
//   none), in units of 8 bytes
#include "abi/host.h"
#include "abi/state.h"
#include "clap_factory.h"
#include "fuzz_support.h"
#include "state_chunk.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const clap_host kHost = {CLAP_VERSION, nullptr, "fuzz",  "",      "",
                         "1",          nullptr, nullptr, nullptr, nullptr};

struct Stream {
    std::vector<uint8_t> bytes;
    size_t position = 0;
    size_t perCall = 0;
    size_t failAt = SIZE_MAX;

    size_t allowed(uint64_t size) const {
        size_t n = static_cast<size_t>(std::min<uint64_t>(size, SIZE_MAX));
        return perCall ? std::min(n, perCall) : n;
    }
};

int64_t readFrom(const clap_istream* s, void* buffer, uint64_t size) {
    auto* st = static_cast<Stream*>(s->ctx);
    const size_t n = std::min(st->allowed(size), st->bytes.size() - st->position);
    if (n > 0 && st->position + n > st->failAt) return -1;
    std::copy_n(st->bytes.data() + st->position, n, static_cast<uint8_t*>(buffer));
    st->position += n;
    return static_cast<int64_t>(n);
}

int64_t writeTo(const clap_ostream* s, const void* buffer, uint64_t size) {
    auto* st = static_cast<Stream*>(s->ctx);
    const size_t n = st->allowed(size);
    if (st->position + n > st->failAt) return -1;
    const auto* from = static_cast<const uint8_t*>(buffer);
    st->bytes.insert(st->bytes.end(), from, from + n);
    st->position += n;
    return static_cast<int64_t>(n);
}

// The plug-in's state through a stream shaped as the input says.
bool save(const clap_plugin* p, const clap_plugin_state* state, std::vector<uint8_t>& out,
          size_t perCall = 0, size_t failAt = SIZE_MAX) {
    Stream s;
    s.perCall = perCall;
    s.failAt = failAt;
    const clap_ostream stream{&s, writeTo};
    const bool saved = state->save(p, &stream);
    out = std::move(s.bytes);
    return saved;
}

bool load(const clap_plugin* p, const clap_plugin_state* state, std::vector<uint8_t> bytes,
          size_t perCall = 0, size_t failAt = SIZE_MAX) {
    Stream s;
    s.bytes = std::move(bytes);
    s.perCall = perCall;
    s.failAt = failAt;
    const clap_istream stream{&s, readFrom};
    return state->load(p, &stream);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const clap_plugin* p =
        kZandrelFactory.create_plugin(&kZandrelFactory, &kHost, "com.vrekrecords.zandrel");
    if (!p || !p->init(p)) std::abort();
    const auto* state = static_cast<const clap_plugin_state*>(p->get_extension(p, CLAP_EXT_STATE));
    if (!state) std::abort();
    const size_t perCall = data[1];
    const unsigned fail = (static_cast<unsigned>(data[2]) << 8) | data[3];
    const size_t failAt = fail == 0xFFFF ? SIZE_MAX : fail * size_t{8};

    std::vector<uint8_t> before, written;
    if (!save(p, state, before)) std::abort();
    // Short and failing writes: the whole state, or a failure.
    const bool saved = save(p, state, written, perCall, failAt);
    if (saved != (before.size() <= failAt)) std::abort();
    if (saved && written != before) std::abort();

    std::vector<uint8_t> bytes;
    if (data[0] % 2 == 0) {
        // A state of Zandrel's own with the fuzzer's bytes laid over it.
        StandInDoor source;
        fillDistinctState(source.state());
        bytes.resize(kStateChunkSize);
        writeStateChunk(source.state(), bytes.data());
        bytes = overlay(std::move(bytes), data + 4, size - 4);
    } else {
        bytes.assign(data + 4, data + size);
    }
    std::vector<uint8_t> after;
    if (!load(p, state, bytes, perCall, failAt)) {
        if (!save(p, state, after) || after != before) std::abort();
    } else {
        // Whatever was taken saves a state that loads again.
        if (!save(p, state, after) || !load(p, state, after, 3)) std::abort();
    }
    p->destroy(p);
    return 0;
}

// The chord set commands work inside the work list the effect reserved for
// them: this binary replaces the C library's allocation functions with
// counting versions and runs every command while counting.
#include "chord_removal.h"
#include "chord_set_fixture.h"
#include "chord_sort.h"
#include "chord_transforms.h"

#include <gtest/gtest.h>

#include <cstddef>

// The C library's own entry points, reserved names by nature.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void* __libc_malloc(size_t);
void __libc_free(void*);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {
bool counting = false;
long allocations = 0;
} // namespace

extern "C" {
void* malloc(size_t n) {
    if (counting) ++allocations;
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
    if (counting) ++allocations;
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    if (counting) ++allocations;
    return __libc_realloc(p, n);
}
void free(void* p) {
    __libc_free(p);
}
}

TEST(ChordAllocation, NoChordCommandAllocates) {
    auto s = emptyChordSet();
    ChordWorkList list;
    EngineRandom random{3};
    for (int slot = 0; slot < 128; slot += 5) setChord(*s, slot, {30 + slot % 60, 37 + slot % 60});
    s->playedKeys[0] = 10;
    s->playedKeysCount = 1;

    counting = true;
    for (int order = 0; order < kSortOrderCount; ++order) sortChordSet(*s, list, order);
    for (int value = 0; value <= 8; ++value)
        transformChords(*s, list, random, static_cast<float>(value));
    for (int value = 0; value <= 5; ++value) removeChords(*s, list, static_cast<float>(value));
    counting = false;

    EXPECT_EQ(allocations, 0);
    // The commands did run: the unwatched removal left only key 10's chord.
    EXPECT_EQ(occupiedSlots(*s).size(), 1u);
}

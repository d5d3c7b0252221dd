#include "state_damage.h"

#include "seeded_random.h"

#include <algorithm>
#include <cstring>

void damageState(std::vector<uint8_t>& bytes, uint64_t seed) {
    if (bytes.empty()) return;
    SeededRandom random(seed);
    const int damages = random.between(1, 64);
    for (int i = 0; i < damages; ++i) {
        const size_t at = static_cast<size_t>(random.next() % bytes.size()) & ~size_t{3};
        static constexpr uint32_t kWords[] = {0x7FC00000u, 0x7F800000u, 0xFF800000u,
                                              0x7F7FFFFFu, 0xFFFFFFFFu, 0x80000000u,
                                              0x7FFFFFFFu, 0x4B800000u, 0xBF800000u};
        const uint32_t word =
            random.chance(50) ? kWords[random.below(9)] : static_cast<uint32_t>(random.next());
        const size_t n = std::min<size_t>(4, bytes.size() - at);
        std::memcpy(bytes.data() + at, &word, n);
    }
}

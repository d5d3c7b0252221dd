// Reading and writing numbers at byte offsets: the plug-in's own blocks are
// little-endian, the preset header and MIDI files big-endian. Callers check
// lengths before they read.
#pragma once

#include <cstdint>
#include <cstring>

inline void putLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline uint32_t getLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void putLeI32(uint8_t* p, int32_t v) {
    putLe32(p, static_cast<uint32_t>(v));
}
inline int32_t getLeI32(const uint8_t* p) {
    return static_cast<int32_t>(getLe32(p));
}
inline void putLeF32(uint8_t* p, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    putLe32(p, bits);
}
inline float getLeF32(const uint8_t* p) {
    const uint32_t bits = getLe32(p);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}
inline void putLeF64(uint8_t* p, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    putLe32(p, static_cast<uint32_t>(bits));
    putLe32(p + 4, static_cast<uint32_t>(bits >> 32));
}
inline double getLeF64(const uint8_t* p) {
    const uint64_t bits =
        static_cast<uint64_t>(getLe32(p)) | (static_cast<uint64_t>(getLe32(p + 4)) << 32);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}
inline void putBe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}
inline uint32_t getBe32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline void putBe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}
inline uint16_t getBe16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

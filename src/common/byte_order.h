// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Little- and big-endian integers in byte buffers, for every file format we
// read or write: the caller has checked that the bytes are there.

#include <cstdint>

namespace melnix {

inline uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t readLe24(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
}
inline uint32_t readLe32(const uint8_t* p) { return readLe24(p) | static_cast<uint32_t>(p[3]) << 24; }

inline uint16_t readBe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t readBe24(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]);
}
inline uint32_t readBe32(const uint8_t* p) { return readBe24(p) << 8 | static_cast<uint32_t>(p[3]); }

// The same over char buffers (file contents held in strings).
inline uint16_t readLe16(const char* p) { return readLe16(reinterpret_cast<const uint8_t*>(p)); }
inline uint32_t readLe32(const char* p) { return readLe32(reinterpret_cast<const uint8_t*>(p)); }
inline uint16_t readBe16(const char* p) { return readBe16(reinterpret_cast<const uint8_t*>(p)); }
inline uint32_t readBe32(const char* p) { return readBe32(reinterpret_cast<const uint8_t*>(p)); }

inline void writeLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void writeLe24(uint8_t* p, uint32_t v) {
    writeLe16(p, static_cast<uint16_t>(v));
    p[2] = static_cast<uint8_t>(v >> 16);
}
inline void writeLe32(uint8_t* p, uint32_t v) {
    writeLe24(p, v);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline void writeBe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}
inline void writeBe24(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 16);
    writeBe16(p + 1, static_cast<uint16_t>(v));
}
inline void writeBe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    writeBe24(p + 1, v);
}

}  // namespace melnix

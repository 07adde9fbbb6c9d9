// Little-endian byte order, the order of every registry and performance-data number.
#pragma once
#include <cstdint>

namespace lumora {

inline std::uint16_t ReadLittleEndian16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

inline std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

inline std::uint64_t ReadLittleEndian64(const std::uint8_t* bytes)
{
    return std::uint64_t{ReadLittleEndian32(bytes)} | std::uint64_t{ReadLittleEndian32(bytes + 4)} << 32;
}

inline void WriteLittleEndian32(std::uint32_t value, std::uint8_t* bytes)
{
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void WriteLittleEndian64(std::uint64_t value, std::uint8_t* bytes)
{
    WriteLittleEndian32(static_cast<std::uint32_t>(value), bytes);
    WriteLittleEndian32(static_cast<std::uint32_t>(value >> 32), bytes + 4);
}

}  // namespace lumora

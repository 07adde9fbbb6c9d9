// 16-bit module port: kernel32's 16-bit module services (ordinals 35, 36, 37) and QT_Thunk.
#pragma once
#include <cstdint>
#include <string>

namespace lumora {

class Module16Port {
public:
    virtual ~Module16Port() = default;
    // Ordinal 35; a handle below 32 means failure (also where the services do not exist).
    virtual std::uint32_t loadLibrary16(const std::string& fileName) = 0;
    // Ordinal 36.
    virtual void freeLibrary16(std::uint32_t handle) = 0;
    // Ordinal 37: the 16:16 address of an export, 0 when there is none.
    virtual std::uint32_t getProcAddress16(std::uint32_t handle, const std::string& name) = 0;
    // Calls the 16-bit function at address with one 16-bit argument through QT_Thunk.
    virtual std::uint16_t call16(std::uint32_t address, std::uint16_t argument) = 0;
};

}  // namespace lumora

// System port: memory status, version, ticks, working folder and window lookup.
#pragma once
#include <cstdint>
#include <string>

namespace lumora {

// The platform's memory status in bytes (wide enough for the 64-bit build).
struct MemoryStatus {
    std::uint32_t memoryLoad = 0;
    std::uint64_t totalPhys = 0;
    std::uint64_t availPhys = 0;
    std::uint64_t totalPageFile = 0;
    std::uint64_t availPageFile = 0;
    std::uint64_t totalVirtual = 0;
    std::uint64_t availVirtual = 0;
};

enum : std::uint32_t { kPlatformWin32s = 0, kPlatformWindows = 1, kPlatformNt = 2 };

struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;
};

class SystemPort {
public:
    virtual ~SystemPort() = default;
    virtual MemoryStatus memoryStatus() = 0;
    // False when the platform refuses the version query.
    virtual bool version(OsVersion& out) = 0;
    virtual std::uint32_t tickCount() = 0;
    virtual std::string currentDirectory() = 0;
    // True when a top-level window of this class and title exists.
    virtual bool findWindow(const std::string& className, const std::string& title) = 0;
};

}  // namespace lumora

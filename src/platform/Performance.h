// Performance port: Windows NT performance data and the Windows 9x dynamic statistics.
#pragma once
#include <cstdint>
#include <string>

namespace lumora {

enum : long { kErrorSuccess = 0, kErrorMoreData = 234 };

class PerformancePort {
public:
    virtual ~PerformancePort() = default;
    // Queries HKEY_PERFORMANCE_DATA "238" into buffer. size holds the capacity on entry and
    // the bytes delivered on return; the result is the platform's answer code.
    virtual long queryProcessorData(std::uint8_t* buffer, std::uint32_t& size) = 0;
    // Converts a SYSTEMTIME (eight 16-bit fields) to a file time; false when it is invalid.
    virtual bool systemTimeToFileTime(const std::uint16_t (&systemTime)[8], std::int64_t& fileTime) = 0;
    // HKEY_DYN_DATA keys ("PerfStats\StartStat", ...): all access or read only; 0 on failure.
    virtual std::uintptr_t openDynKey(const std::string& path, bool allAccess) = 0;
    // Reads 4 bytes of a statistic; the platform's answer is not reported.
    virtual void queryDynValue(std::uintptr_t key, const std::string& name, std::uint8_t (&value)[4]) = 0;
    virtual void closeDynKey(std::uintptr_t key) = 0;
};

}  // namespace lumora

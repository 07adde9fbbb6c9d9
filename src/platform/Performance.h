// Performance port: Windows NT performance data and the conversion of its time stamp.
#pragma once
#include <cstdint>

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
};

}  // namespace lumora

// Performance port: Windows NT performance data and the conversion of its time stamp.
#pragma once
#include <cstdint>

namespace lumora {

enum : long { kErrorSuccess = 0, kErrorMoreData = 234 };

// The layout of the performance data the platform delivers: a PERF_DATA_BLOCK, then its
// objects, each with its counter definitions and its instances and counter blocks. It is the
// same in 32- and 64-bit processes.
enum : std::uint32_t {
    kPerfDataBlockSize = 88,
    kPerfObjectTypeSize = 64,
    kPerfCounterDefinitionSize = 40,
    kPerfInstanceDefinitionSize = 24,
    kPerfCounterBlockSize = 4,
};

// Field offsets from the start of each structure.
enum : std::uint32_t {
    kBlockTotalByteLength = 20,
    kBlockHeaderLength = 24,
    kBlockNumObjectTypes = 28,
    kBlockSystemTime = 36,
    kObjectTotalByteLength = 0,
    kObjectDefinitionLength = 4,
    kObjectHeaderLength = 8,
    kObjectNameTitleIndex = 12,
    kObjectNumCounters = 32,
    kObjectNumInstances = 40,
    kCounterByteLength = 0,
    kCounterNameTitleIndex = 4,
    kCounterOffset = 36,
    kInstanceByteLength = 0,
    kCounterBlockByteLength = 0,
};

enum : std::uint32_t {
    kProcessorObjectTitle = 238,     // the "Processor" object, the one queryProcessorData asks for
    kProcessorTimeCounterTitle = 6,  // its processor-time counter: idle time in 100-ns units
};

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

// Writes performance data blocks byte for byte as the platform lays them out, for the tests
// and the fuzz corpus of the CPU meter.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ports/Performance.h"

namespace lumora::fakes {

struct PerfCounterShape {
    std::uint32_t title = 0;   // CounterNameTitleIndex
    std::uint32_t offset = 8;  // CounterOffset inside each counter block
    std::uint32_t size = 8;    // CounterSize; values are written little-endian in this many bytes
};

struct PerfInstanceShape {
    std::string name;
    std::vector<std::uint64_t> values;  // one per counter of the object, in definition order
};

struct PerfObjectShape {
    std::uint32_t title = 0;  // ObjectNameTitleIndex
    std::vector<PerfCounterShape> counters;
    std::vector<PerfInstanceShape> instances;
    // PERF_NO_INSTANCES: a single counter block, holding instances[0]'s values, follows the
    // definitions.
    bool noInstances = false;
};

// Where the parts of a built block lie, so that a test can damage one field.
struct PerfLayout {
    std::size_t size = 0;
    std::vector<std::size_t> objects;                   // each PERF_OBJECT_TYPE
    std::vector<std::vector<std::size_t>> definitions;  // each PERF_COUNTER_DEFINITION, per object
    std::vector<std::vector<std::size_t>> instances;    // each PERF_INSTANCE_DEFINITION, per object
    std::vector<std::vector<std::size_t>> blocks;       // each PERF_COUNTER_BLOCK, per object
};

class PerfDataBuilder {
public:
    PerfDataBuilder();

    PerfDataBuilder& SystemTime(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour,
                                std::uint16_t minute, std::uint16_t second, std::uint16_t milliseconds = 0);
    PerfDataBuilder& SystemName(const std::string& name);
    PerfDataBuilder& Object(PerfObjectShape object);
    // A "Processor" object (238) with one instance per idle count, named "0", "1", ...; its
    // processor-time counter (6) sits at idleOffset, between two other time counters.
    PerfDataBuilder& Processor(const std::vector<std::int64_t>& idle, std::uint32_t idleOffset = 8);

    std::vector<std::uint8_t> Build(PerfLayout* layout = nullptr) const;

private:
    std::uint16_t systemTime_[8];
    std::string systemName_ = "LUMORA";
    std::vector<PerfObjectShape> objects_;
};

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset);

}  // namespace lumora::fakes

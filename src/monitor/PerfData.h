// Bounds-checked reading of the platform's performance data block, in the layout the
// performance port describes.
//
// Nothing here trusts a length, count or offset inside the data: every structure is checked
// to lie within the bytes actually received (and within the object that holds it) before a
// field of it is read, so any byte image can be handed in.
#pragma once
#include <cstddef>
#include <cstdint>

#include "ports/Performance.h"

namespace lumora {

// One object found in the block: where its parts lie, as offsets from the block's start.
struct PerfObject {
    std::uint64_t offset = 0;       // the PERF_OBJECT_TYPE
    std::uint64_t end = 0;          // offset + TotalByteLength
    std::uint64_t definitions = 0;  // offset + HeaderLength
    std::uint64_t instances = 0;    // offset + DefinitionLength
    std::uint32_t numCounters = 0;
    // As delivered: PERF_NO_INSTANCES (-1) for an object without instances.
    std::int32_t numInstances = 0;
};

enum class PerfResult {
    Found,
    NotFound,   // the data is consistent but holds no such object or counter
    Malformed,  // a length, count or offset does not fit the bytes received
};

class PerfDataReader {
public:
    // data must stay alive and unchanged while the reader is used.
    PerfDataReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The block's SYSTEMTIME (year, month, day of week, day, hour, minute, second, ms).
    // False when the block header itself does not fit.
    bool SystemTime(std::uint16_t (&out)[8]) const;

    // Walks at most NumObjectTypes objects for the first with this ObjectNameTitleIndex.
    PerfResult FindObject(std::uint32_t titleIndex, PerfObject& out) const;

    // Walks at most NumCounters definitions of object for the first with this
    // CounterNameTitleIndex and gives its CounterOffset.
    PerfResult FindCounter(const PerfObject& object, std::uint32_t titleIndex, std::uint32_t& counterOffset) const;

    // Reads the 64-bit counter at counterOffset in each of the first count instances, in
    // delivery order, into out[0 .. count-1]. False (and out left as it was) when those
    // instances or their counter blocks do not fit the object, or count exceeds NumInstances.
    bool ReadInstanceCounters(const PerfObject& object, std::uint32_t counterOffset, std::size_t count,
                              std::int64_t* out) const;

private:
    bool Fits(std::uint64_t offset, std::uint64_t length, std::uint64_t end) const
    {
        return end <= size_ && offset <= end && length <= end - offset;
    }
    std::uint32_t U32(std::uint64_t offset) const;
    std::uint64_t U64(std::uint64_t offset) const;

    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace lumora

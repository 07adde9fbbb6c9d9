// Bounds-checked reading of the platform's performance data block.
#include "monitor/PerfData.h"

#include "core/LittleEndian.h"

namespace lumora {

namespace {
// The smallest instance that can carry a 64-bit counter: its definition and a counter block
// of at least 8 bytes.
constexpr std::uint64_t kMinInstanceBytes = kPerfInstanceDefinitionSize + 8;
}  // namespace

std::uint32_t PerfDataReader::U32(std::uint64_t offset) const
{
    return ReadLittleEndian32(data_ + offset);
}

std::uint64_t PerfDataReader::U64(std::uint64_t offset) const
{
    return ReadLittleEndian64(data_ + offset);
}

bool PerfDataReader::SystemTime(std::uint16_t (&out)[8]) const
{
    if (size_ < kPerfDataBlockSize) return false;
    for (std::uint32_t i = 0; i < 8; ++i) {
        out[i] = ReadLittleEndian16(data_ + kBlockSystemTime + 2 * i);
    }
    return true;
}

PerfResult PerfDataReader::FindObject(std::uint32_t titleIndex, PerfObject& out) const
{
    if (size_ < kPerfDataBlockSize) return PerfResult::Malformed;
    const std::uint32_t headerLength = U32(kBlockHeaderLength);
    const std::uint32_t numObjects = U32(kBlockNumObjectTypes);
    // The header carries the system name after the fixed part, so it is never shorter.
    if (headerLength < kPerfDataBlockSize || headerLength > size_) return PerfResult::Malformed;

    std::uint64_t offset = headerLength;
    for (std::uint32_t i = 0; i < numObjects; ++i) {
        if (!Fits(offset, kPerfObjectTypeSize, size_)) return PerfResult::Malformed;
        const std::uint32_t total = U32(offset + kObjectTotalByteLength);
        // Every object must move the walk forward by at least its own header, which also
        // bounds the walk by the data received, whatever NumObjectTypes claims.
        if (total < kPerfObjectTypeSize || !Fits(offset, total, size_)) return PerfResult::Malformed;
        if (U32(offset + kObjectNameTitleIndex) == titleIndex) {
            const std::uint32_t definitionLength = U32(offset + kObjectDefinitionLength);
            const std::uint32_t objectHeader = U32(offset + kObjectHeaderLength);
            const std::uint32_t numCounters = U32(offset + kObjectNumCounters);
            const auto numInstances = static_cast<std::int32_t>(U32(offset + kObjectNumInstances));
            if (objectHeader < kPerfObjectTypeSize || objectHeader > definitionLength || definitionLength > total) {
                return PerfResult::Malformed;
            }
            if (std::uint64_t{numCounters} * kPerfCounterDefinitionSize > definitionLength - objectHeader) {
                return PerfResult::Malformed;
            }
            if (numInstances < -1 ||
                (numInstances > 0 && std::uint64_t(numInstances) * kMinInstanceBytes > total - definitionLength)) {
                return PerfResult::Malformed;
            }
            out.offset = offset;
            out.end = offset + total;
            out.definitions = offset + objectHeader;
            out.instances = offset + definitionLength;
            out.numCounters = numCounters;
            out.numInstances = numInstances;
            return PerfResult::Found;
        }
        offset += total;
    }
    return PerfResult::NotFound;
}

PerfResult PerfDataReader::FindCounter(const PerfObject& object, std::uint32_t titleIndex,
                                       std::uint32_t& counterOffset) const
{
    std::uint64_t offset = object.definitions;
    const std::uint64_t end = object.instances;
    for (std::uint32_t i = 0; i < object.numCounters; ++i) {
        if (!Fits(offset, kPerfCounterDefinitionSize, end)) return PerfResult::Malformed;
        const std::uint32_t length = U32(offset + kCounterByteLength);
        if (length < kPerfCounterDefinitionSize || !Fits(offset, length, end)) return PerfResult::Malformed;
        if (U32(offset + kCounterNameTitleIndex) == titleIndex) {
            counterOffset = U32(offset + kCounterOffset);
            return PerfResult::Found;
        }
        offset += length;
    }
    return PerfResult::NotFound;
}

bool PerfDataReader::ReadInstanceCounters(const PerfObject& object, std::uint32_t counterOffset, std::size_t count,
                                          std::int64_t* out) const
{
    if (count == 0) return true;
    if (object.numInstances < 0 || count > static_cast<std::uint64_t>(object.numInstances)) return false;

    // Checked in full first, so that a block cut short changes nothing.
    std::uint64_t offset = object.instances;
    for (std::size_t i = 0; i < count; ++i) {
        if (!Fits(offset, kPerfInstanceDefinitionSize, object.end)) return false;
        const std::uint32_t length = U32(offset + kInstanceByteLength);
        if (length < kPerfInstanceDefinitionSize || !Fits(offset, length, object.end)) return false;
        const std::uint64_t block = offset + length;
        if (!Fits(block, kPerfCounterBlockSize, object.end)) return false;
        const std::uint32_t blockLength = U32(block + kCounterBlockByteLength);
        if (blockLength < kPerfCounterBlockSize || !Fits(block, blockLength, object.end)) return false;
        if (counterOffset > blockLength || blockLength - counterOffset < 8) return false;
        offset = block + blockLength;
    }

    offset = object.instances;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t block = offset + U32(offset + kInstanceByteLength);
        out[i] = static_cast<std::int64_t>(U64(block + counterOffset));
        offset = block + U32(block + kCounterBlockByteLength);
    }
    return true;
}

}  // namespace lumora

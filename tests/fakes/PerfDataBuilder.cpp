// Performance data blocks written byte for byte in the platform's layout.
#include "fakes/PerfDataBuilder.h"

#include <algorithm>

namespace lumora::fakes {

namespace {
constexpr std::uint32_t kDetailNovice = 100;
constexpr std::uint32_t kTimer100ns = 0x20510500;     // PERF_100NSEC_TIMER
constexpr std::uint32_t kTimer100nsInv = 0x20570500;  // PERF_100NSEC_TIMER_INV

std::size_t Align8(std::size_t n)
{
    return (n + 7) & ~std::size_t{7};
}

void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value, std::size_t width)
{
    if (bytes.size() < offset + width) bytes.resize(offset + width);
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = i < 8 ? static_cast<std::uint8_t>(value >> (8 * i)) : 0;
    }
}

// A NUL-terminated UTF-16 name as the platform stores instance and system names.
std::size_t PutName(std::vector<std::uint8_t>& bytes, std::size_t offset, const std::string& name)
{
    for (std::size_t i = 0; i < name.size(); ++i) Put(bytes, offset + 2 * i, static_cast<unsigned char>(name[i]), 2);
    Put(bytes, offset + 2 * name.size(), 0, 2);
    return 2 * (name.size() + 1);
}

std::uint32_t CounterBlockLength(const PerfObjectShape& object)
{
    std::size_t end = 8;
    for (const auto& counter : object.counters) end = std::max<std::size_t>(end, counter.offset + counter.size);
    return static_cast<std::uint32_t>(Align8(end));
}

std::size_t PutCounterBlock(std::vector<std::uint8_t>& bytes, std::size_t offset, const PerfObjectShape& object,
                            const PerfInstanceShape* instance)
{
    const std::uint32_t length = CounterBlockLength(object);
    Put(bytes, offset, 0, length);
    Put(bytes, offset, length, 4);
    for (std::size_t i = 0; i < object.counters.size(); ++i) {
        const std::uint64_t value = instance && i < instance->values.size() ? instance->values[i] : 0;
        Put(bytes, offset + object.counters[i].offset, value, object.counters[i].size);
    }
    return length;
}
}  // namespace

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    Put(bytes, offset, value, 4);
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{bytes.at(offset + i)} << (8 * i);
    return value;
}

PerfDataBuilder::PerfDataBuilder()
{
    SystemTime(2001, 6, 15, 12, 0, 0);
}

PerfDataBuilder& PerfDataBuilder::SystemTime(std::uint16_t year, std::uint16_t month, std::uint16_t day,
                                             std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                                             std::uint16_t milliseconds)
{
    const std::uint16_t fields[8] = {year, month, 0, day, hour, minute, second, milliseconds};
    std::copy(std::begin(fields), std::end(fields), systemTime_);
    return *this;
}

PerfDataBuilder& PerfDataBuilder::SystemName(const std::string& name)
{
    systemName_ = name;
    return *this;
}

PerfDataBuilder& PerfDataBuilder::Object(PerfObjectShape object)
{
    objects_.push_back(std::move(object));
    return *this;
}

PerfDataBuilder& PerfDataBuilder::Processor(const std::vector<std::int64_t>& idle, std::uint32_t idleOffset)
{
    // The other two counters take the slots the idle counter leaves free.
    std::vector<std::uint32_t> others;
    for (std::uint32_t slot = 8; others.size() < 2; slot += 8) {
        if (slot != idleOffset) others.push_back(slot);
    }
    PerfObjectShape object;
    object.title = kProcessorObjectTitle;
    object.counters = {{142, others[0], 8}, {kProcessorTimeCounterTitle, idleOffset, 8}, {144, others[1], 8}};
    for (std::size_t i = 0; i < idle.size(); ++i) {
        const auto value = static_cast<std::uint64_t>(idle[i]);
        object.instances.push_back({std::to_string(i), {value / 3, value, value / 5}});
    }
    return Object(std::move(object));
}

std::vector<std::uint8_t> PerfDataBuilder::Build(PerfLayout* layout) const
{
    PerfLayout local;
    PerfLayout& out = layout ? *layout : local;
    out = PerfLayout{};
    std::vector<std::uint8_t> bytes(kPerfDataBlockSize, 0);
    const char signature[] = "PERF";
    for (std::size_t i = 0; i < 4; ++i) Put(bytes, 2 * i, static_cast<unsigned char>(signature[i]), 2);
    Put(bytes, 8, 1, 4);   // LittleEndian
    Put(bytes, 12, 1, 4);  // Version
    Put(bytes, 16, 1, 4);  // Revision
    Put(bytes, kBlockNumObjectTypes, objects_.size(), 4);
    Put(bytes, 32, kProcessorObjectTitle, 4);  // DefaultObject
    for (std::size_t i = 0; i < 8; ++i) Put(bytes, kBlockSystemTime + 2 * i, systemTime_[i], 2);
    const std::size_t nameLength = PutName(bytes, kPerfDataBlockSize, systemName_);
    Put(bytes, 80, nameLength, 4);          // SystemNameLength
    Put(bytes, 84, kPerfDataBlockSize, 4);  // SystemNameOffset
    const std::size_t headerLength = Align8(kPerfDataBlockSize + nameLength);
    Put(bytes, kBlockHeaderLength, headerLength, 4);
    bytes.resize(headerLength, 0);

    for (const PerfObjectShape& object : objects_) {
        const std::size_t start = bytes.size();
        out.objects.push_back(start);
        out.definitions.emplace_back();
        out.instances.emplace_back();
        out.blocks.emplace_back();
        const std::size_t definitionLength = kPerfObjectTypeSize + kPerfCounterDefinitionSize * object.counters.size();
        Put(bytes, start, 0, kPerfObjectTypeSize);
        Put(bytes, start + kObjectDefinitionLength, definitionLength, 4);
        Put(bytes, start + kObjectHeaderLength, kPerfObjectTypeSize, 4);
        Put(bytes, start + kObjectNameTitleIndex, object.title, 4);
        Put(bytes, start + 20, object.title + 1, 4);  // ObjectHelpTitleIndex
        Put(bytes, start + 28, kDetailNovice, 4);
        Put(bytes, start + kObjectNumCounters, object.counters.size(), 4);
        const auto numInstances = object.noInstances ? -1 : static_cast<std::int32_t>(object.instances.size());
        Put(bytes, start + kObjectNumInstances, static_cast<std::uint32_t>(numInstances), 4);

        for (const PerfCounterShape& counter : object.counters) {
            const std::size_t at = bytes.size();
            out.definitions.back().push_back(at);
            Put(bytes, at, 0, kPerfCounterDefinitionSize);
            Put(bytes, at + kCounterByteLength, kPerfCounterDefinitionSize, 4);
            Put(bytes, at + kCounterNameTitleIndex, counter.title, 4);
            Put(bytes, at + 12, counter.title + 1, 4);  // CounterHelpTitleIndex
            Put(bytes, at + 24, kDetailNovice, 4);
            Put(bytes, at + 28, counter.title == kProcessorTimeCounterTitle ? kTimer100nsInv : kTimer100ns, 4);
            Put(bytes, at + 32, counter.size, 4);
            Put(bytes, at + kCounterOffset, counter.offset, 4);
        }

        if (object.noInstances) {
            out.blocks.back().push_back(bytes.size());
            PutCounterBlock(bytes, bytes.size(), object, object.instances.empty() ? nullptr : &object.instances[0]);
        } else {
            for (const PerfInstanceShape& instance : object.instances) {
                const std::size_t at = bytes.size();
                out.instances.back().push_back(at);
                Put(bytes, at, 0, kPerfInstanceDefinitionSize);
                const std::size_t nameBytes = PutName(bytes, at + kPerfInstanceDefinitionSize, instance.name);
                const std::size_t length = Align8(kPerfInstanceDefinitionSize + nameBytes);
                bytes.resize(at + length, 0);
                Put(bytes, at + kInstanceByteLength, length, 4);
                Put(bytes, at + 12, static_cast<std::uint32_t>(-1), 4);  // UniqueID: PERF_NO_UNIQUE_ID
                Put(bytes, at + 16, kPerfInstanceDefinitionSize, 4);     // NameOffset
                Put(bytes, at + 20, nameBytes, 4);                       // NameLength
                out.blocks.back().push_back(bytes.size());
                PutCounterBlock(bytes, bytes.size(), object, &instance);
            }
        }
        bytes.resize(Align8(bytes.size()), 0);
        Put(bytes, start + kObjectTotalByteLength, bytes.size() - start, 4);
    }
    Put(bytes, kBlockTotalByteLength, bytes.size(), 4);
    out.size = bytes.size();
    return bytes;
}

}  // namespace lumora::fakes

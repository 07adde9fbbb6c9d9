// Fuzz target: any byte image handed to the performance data reader and to the NT CPU meter.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "fakes/FakeRegistry.h"
#include "monitor/CpuUsage.h"
#include "monitor/PerfData.h"
#include "ports/Performance.h"
#include "ports/System.h"

namespace {

using namespace lumora;

class NtSystem : public SystemPort {
public:
    MemoryStatus memoryStatus() override { return {}; }
    bool version(OsVersion& out) override
    {
        out.platformId = kPlatformNt;
        return true;
    }
    std::uint32_t tickCount() override { return 0; }
    std::string currentDirectory() override { return std::string(); }
    bool findWindow(const std::string&, const std::string&) override { return false; }
};

// Answers each query with the next image, asking for a larger buffer as the platform does.
class Answers : public PerformancePort {
public:
    std::vector<std::vector<std::uint8_t>> images;
    std::size_t next = 0;

    long queryProcessorData(std::uint8_t* buffer, std::uint32_t& size) override
    {
        const auto& image = images[next < images.size() ? next : images.size() - 1];
        if (image.size() > size) return kErrorMoreData;
        if (!image.empty()) std::memcpy(buffer, image.data(), image.size());
        size = static_cast<std::uint32_t>(image.size());
        ++next;
        return kErrorSuccess;
    }
    bool systemTimeToFileTime(const std::uint16_t (&st)[8], std::int64_t& fileTime) override
    {
        if (st[1] < 1 || st[1] > 12) return false;
        std::uint64_t t = 0;
        for (std::uint16_t field : st) t = t * 61 + field;
        fileTime = static_cast<std::int64_t>(t);
        return true;
    }
};

void ReadEverything(const std::uint8_t* data, std::size_t size)
{
    const PerfDataReader reader(data, size);
    std::uint16_t time[8];
    reader.SystemTime(time);
    const std::uint32_t titles[] = {kProcessorObjectTitle, size > 0 ? data[size - 1] : 0u};
    for (std::uint32_t title : titles) {
        PerfObject object;
        if (reader.FindObject(title, object) != PerfResult::Found) continue;
        std::uint32_t offset = 0;
        if (reader.FindCounter(object, kProcessorTimeCounterTitle, offset) != PerfResult::Found) continue;
        std::int64_t values[64];
        const std::size_t count = object.numInstances < 0 ? 0 : static_cast<std::size_t>(object.numInstances);
        reader.ReadInstanceCounters(object, offset, count < 64 ? count : 64, values);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact copy, so that the sanitizer sees any read past the bytes received.
    std::vector<std::uint8_t> exact(data, data + size);
    ReadEverything(exact.data(), exact.size());

    // The meter over two answers: the image, then the image cut short by its first byte.
    NtSystem system;
    Answers answers;
    answers.images.push_back(exact);
    const std::size_t cut = size > 0 ? data[0] : 0;
    answers.images.emplace_back(exact.begin(), exact.end() - static_cast<std::ptrdiff_t>(cut < size ? cut : size));
    fakes::FakeRegistry registry;  // the 9x statistic; NT never reads it
    CpuUsageMeter meter(system, answers, registry);
    for (int i = 0; i < 3; ++i) {
        try {
            meter.SampleCpuUsage();
            volatile double fraction = meter.CpuUsageFraction(0);
            (void)fraction;
        } catch (const Exception&) {
        }
    }
    return 0;
}

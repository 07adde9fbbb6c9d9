// The CPU usage meter over the NT "Processor" performance object or the 9x CPU statistic.
#include "monitor/CpuUsage.h"

#include <algorithm>
#include <string>

#include "core/Exception.h"
#include "core/LittleEndian.h"
#include "monitor/DynamicStatistics.h"
#include "monitor/PerfData.h"
#include "ports/Performance.h"
#include "ports/System.h"

namespace lumora {

namespace {
const char* const kProcessorObjectMissing = "Unable to locate the \"Processor\" performance object";
const char* const kProcessorCounterMissing = "Unable to locate the \"% of CPU usage\" performance counter";
const char* const kIndexOutOfBounds = "CPU index out of bounds";

constexpr std::size_t kInitialBufferSize = 8192;
constexpr std::size_t kBufferGrowth = 4096;
// Far beyond any real "Processor" answer; a platform that keeps asking for more past this
// is not answering sensibly.
constexpr std::size_t kMaxBufferSize = 16u * 1024 * 1024;

std::int64_t WrappingDifference(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
}  // namespace

CpuUsageMeter::CpuUsageMeter(Ports& ports) : CpuUsageMeter(ports.system, ports.performance, ports.registry)
{
}

CpuUsageMeter::CpuUsageMeter(SystemPort& system, PerformancePort& performance, RegistryPort& registry)
    : performance_(performance), registry_(registry), perfBuffer_(kInitialBufferSize, 0)
{
    OsVersion version;
    if (!system.version(version)) throw Exception("Can't get the Windows version");
    isNtPlatform_ = version.platformId == kPlatformNt;
}

CpuUsageMeter::~CpuUsageMeter()
{
    try {
        StopCpuSampling();
    } catch (...) {
        // Shut-down reports nothing.
    }
}

void CpuUsageMeter::SampleCpuUsage()
{
    if (isNtPlatform_) {
        SampleNt();
    } else {
        Sample9x();
    }
}

void CpuUsageMeter::SampleNt()
{
    std::uint32_t size = static_cast<std::uint32_t>(perfBuffer_.size());
    long answer = performance_.queryProcessorData(perfBuffer_.data(), size);
    while (answer == kErrorMoreData) {
        if (perfBuffer_.size() + kBufferGrowth > kMaxBufferSize) throw Exception(kProcessorObjectMissing);
        perfBuffer_.resize(perfBuffer_.size() + kBufferGrowth);
        size = static_cast<std::uint32_t>(perfBuffer_.size());
        answer = performance_.queryProcessorData(perfBuffer_.data(), size);
    }
    // Any other answer is parsed as it stands: a refused query leaves the last sample in the
    // buffer, which reads as an interval of no time.
    const std::size_t received = std::min<std::size_t>(size, perfBuffer_.size());

    const PerfDataReader reader(perfBuffer_.data(), received);
    PerfObject processor;
    if (reader.FindObject(kProcessorObjectTitle, processor) != PerfResult::Found) {
        throw Exception(kProcessorObjectMissing);
    }
    if (processorCount_ < 0) {
        // The processor count is fixed by the first sample that finds the object.
        processorCount_ = processor.numInstances;
        const std::size_t count = processorCount_ > 0 ? static_cast<std::size_t>(processorCount_) : 0;
        processors_.assign(count, ProcessorTrack{});
        sampleIdle_.assign(count, 0);
    }
    std::uint32_t counterOffset = 0;
    switch (reader.FindCounter(processor, kProcessorTimeCounterTitle, counterOffset)) {
    case PerfResult::Found: break;
    case PerfResult::NotFound: throw Exception(kProcessorCounterMissing);
    case PerfResult::Malformed: throw Exception(kProcessorObjectMissing);
    }
    // A later sample may deliver fewer instances (a processor taken off line): only those
    // delivered are updated.
    const std::size_t instances = processor.numInstances > 0 ? static_cast<std::size_t>(processor.numInstances) : 0;
    const std::size_t delivered = std::min(processors_.size(), instances);
    std::uint16_t systemTime[8] = {};
    std::int64_t sampleTime = 0;
    if (!reader.ReadInstanceCounters(processor, counterOffset, delivered, sampleIdle_.data()) ||
        !reader.SystemTime(systemTime) || !performance_.systemTimeToFileTime(systemTime, sampleTime)) {
        throw Exception(kProcessorObjectMissing);
    }
    for (std::size_t i = 0; i < processors_.size(); ++i) {
        ProcessorTrack& track = processors_[i];
        if (i >= delivered) {
            track.inLastSample = false;
            continue;
        }
        track.previousIdle = track.currentIdle;
        track.previousTime = track.currentTime;
        track.currentIdle = sampleIdle_[i];
        track.currentTime = sampleTime;
        track.hasInterval = track.inLastSample;
        track.inLastSample = true;
    }
}

RegKey CpuUsageMeter::OpenStatistic(const std::string& path, RegAccess access)
{
    return registry_.openKeyWith(registry_.rootKey(RegRoot::DynData), path, access);
}

void CpuUsageMeter::ReadCpuStatistic(RegKey key)
{
    // The platform's answer is not looked at: a failed read leaves the last value.
    std::uint8_t bytes[4];
    WriteLittleEndian32(win9xCpuPercent_, bytes);
    registry_.queryFourBytes(key, kCpuUsageStatistic, bytes);
    win9xCpuPercent_ = ReadLittleEndian32(bytes);
}

void CpuUsageMeter::Sample9x()
{
    if (!win9xSampling_) {
        const RegKey start = OpenStatistic(kStartStatKey, RegAccess::All);
        if (start == 0) throw Exception("Unable to start performance monitoring");
        // Reading the statistic through StartStat is what starts it.
        ReadCpuStatistic(start);
        registry_.closeKey(start);
        const RegKey data = OpenStatistic(kStatDataKey, RegAccess::Read);
        if (data == 0) throw Exception("Unable to read performance data");
        win9xStatKey_ = data;
        win9xSampling_ = true;
    }
    ReadCpuStatistic(win9xStatKey_);
}

double CpuUsageMeter::CpuUsageFraction(int index)
{
    if (!isNtPlatform_) {
        if (index != 0) throw Exception(kIndexOutOfBounds);
        if (!win9xSampling_) SampleCpuUsage();
        return static_cast<double>(win9xCpuPercent_) / 100.0;
    }
    if (processorCount_ < 0) SampleCpuUsage();
    if (index < 0 || index >= processorCount_) throw Exception(kIndexOutOfBounds);
    const ProcessorTrack& track = processors_[static_cast<std::size_t>(index)];
    if (!track.hasInterval || track.currentTime == track.previousTime) return 0;
    const long double idle = static_cast<long double>(WrappingDifference(track.currentIdle, track.previousIdle));
    const long double elapsed = static_cast<long double>(WrappingDifference(track.currentTime, track.previousTime));
    return static_cast<double>(1.0L - idle / elapsed);
}

void CpuUsageMeter::StopCpuSampling()
{
    if (isNtPlatform_ || !win9xSampling_) return;
    win9xSampling_ = false;
    registry_.closeKey(win9xStatKey_);
    win9xStatKey_ = 0;
    const RegKey stop = OpenStatistic(kStopStatKey, RegAccess::All);
    if (stop == 0) return;
    // Reading the statistic through StopStat is what stops it.
    ReadCpuStatistic(stop);
    registry_.closeKey(stop);
}

}  // namespace lumora

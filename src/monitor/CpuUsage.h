// The CPU usage meter: one module-wide sampler of the NT performance data or the 9x statistic.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ports/Ports.h"
#include "ports/Registry.h"

namespace lumora {

class SystemPort;
class PerformancePort;

// One instance stands for the module: its constructor is the module start-up and its
// destructor the shut-down. Used from the GUI thread only.
class CpuUsageMeter {
public:
    // Raises "Can't get the Windows version" when the platform refuses the version query.
    explicit CpuUsageMeter(Ports& ports);
    // NT reads the performance port, 9x the statistic under the registry's dynamic data.
    CpuUsageMeter(SystemPort& system, PerformancePort& performance, RegistryPort& registry);
    // Stops the 9x statistic when it runs.
    ~CpuUsageMeter();
    CpuUsageMeter(const CpuUsageMeter&) = delete;
    CpuUsageMeter& operator=(const CpuUsageMeter&) = delete;

    // Takes one sample. On NT the current counters and time become the previous ones.
    void SampleCpuUsage();
    // Usage of processor index as a fraction (1.0: fully busy), not clamped. Samples first
    // only when there is nothing to read yet (NT: no sample has found the processor object;
    // 9x: the statistic is not running). On NT a processor has an interval once two
    // consecutive samples delivered it, so the first reading is 0; one left out of a sample
    // keeps its last interval, and its next delivery reads 0 until the one after. An interval
    // of no time reads 0 too.
    double CpuUsageFraction(int index);
    // Ends the 9x statistic; does nothing on NT or when it does not run.
    void StopCpuSampling();

    bool IsNtPlatform() const { return isNtPlatform_; }
    std::int32_t ProcessorCount() const { return processorCount_; }
    std::int32_t PerfBufferSize() const { return static_cast<std::int32_t>(perfBuffer_.size()); }
    bool Win9xSampling() const { return win9xSampling_; }

private:
    void SampleNt();
    void Sample9x();
    RegKey OpenStatistic(const std::string& path, RegAccess access);
    // Reads "KERNEL\CPUUsage" through key into win9xCpuPercent_.
    void ReadCpuStatistic(RegKey key);

    PerformancePort& performance_;
    RegistryPort& registry_;
    bool isNtPlatform_ = false;
    // Only grows, 4096 bytes at a time, up to a limit.
    std::vector<std::uint8_t> perfBuffer_;
    std::int32_t processorCount_ = -1;
    // One processor's last two deliveries. A processor missing from a sample keeps its last
    // interval; its next delivery starts a new pair, so no interval spans the gap.
    struct ProcessorTrack {
        std::int64_t currentIdle = 0;
        std::int64_t previousIdle = 0;
        std::int64_t currentTime = 0;
        std::int64_t previousTime = 0;
        bool inLastSample = false;  // delivered by the latest sample
        bool hasInterval = false;   // delivered by two consecutive samples
    };
    std::vector<ProcessorTrack> processors_;
    // Receives a sample's counters until the whole sample has proved sound.
    std::vector<std::int64_t> sampleIdle_;
    bool win9xSampling_ = false;
    RegKey win9xStatKey_ = 0;
    std::uint32_t win9xCpuPercent_ = 0;
};

}  // namespace lumora

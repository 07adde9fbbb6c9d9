// The CPU usage meter: one module-wide sampler of the NT performance data or the 9x statistic.
#pragma once
#include "platform/Ports.h"

namespace lumora {

class CpuUsageMeter {
public:
    explicit CpuUsageMeter(Ports& ports);
    ~CpuUsageMeter();
    void SampleCpuUsage();
    double CpuUsageFraction(int index);
    void StopCpuSampling();

private:
    Ports& ports_;
};

}  // namespace lumora

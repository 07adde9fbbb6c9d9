// The CPU usage meter (being built).
#include "monitor/CpuUsage.h"

namespace lumora {

CpuUsageMeter::CpuUsageMeter(Ports& ports) : ports_(ports) {}
CpuUsageMeter::~CpuUsageMeter() = default;
void CpuUsageMeter::SampleCpuUsage() {}
double CpuUsageMeter::CpuUsageFraction(int) { return 0; }
void CpuUsageMeter::StopCpuSampling() {}

}  // namespace lumora

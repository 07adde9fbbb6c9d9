// The names of Windows 9x's performance statistics under HKEY_DYN_DATA, which the CPU meter and
// the system probe both read. The NT family has no such key.
#pragma once
#include <string>

namespace lumora {

// Opening StartStat starts the collection of a statistic and StopStat ends it; StatData holds
// the current figures.
inline const std::string kStartStatKey = "PerfStats\\StartStat";
inline const std::string kStatDataKey = "PerfStats\\StatData";
inline const std::string kStopStatKey = "PerfStats\\StopStat";
inline const std::string kCpuUsageStatistic = "KERNEL\\CPUUsage";

}  // namespace lumora

// Where an idle tick's time goes on the platform it runs on: each platform query the tick makes,
// through the program's own ports, timed over many calls. Prints one line per step:
//   tick-cost STEP CPU-US WALL-US
// with this thread's CPU time ("-" where not measured) and the elapsed time per call, in
// microseconds. The CPU time leaves out what a server process (Wine's) does on the caller's
// behalf; the elapsed time includes it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>

#include "monitor/CpuUsage.h"
#include "monitor/SystemProbe.h"
#include "win32/ports/Win32Ports.h"

namespace {

double ThreadCpuUs()
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto value = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return (value(kernel) + value(user)) / 10.0;
}

double WallUs()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

void Time(const char* step, int calls, const std::function<void()>& call)
{
    call();  // the first call loads what later calls find loaded
    const double cpu0 = ThreadCpuUs();
    const double wall0 = WallUs();
    for (int i = 0; i < calls; ++i) call();
    std::printf("tick-cost %s %.1f %.1f\n", step, (ThreadCpuUs() - cpu0) / calls, (WallUs() - wall0) / calls);
}

// For answers the platform keeps for a while (Wine answers GlobalMemoryStatus from a copy for a
// second; the tick, 800 ms apart, mostly misses it): calls spaced further apart, timed one by one.
// The thread's CPU time moves in steps too coarse for one call, so only the elapsed time is told.
void TimeSpaced(const char* step, int calls, DWORD spacedMs, const std::function<void()>& call)
{
    call();
    double wall = 0;
    for (int i = 0; i < calls; ++i) {
        Sleep(spacedMs);
        const double wall0 = WallUs();
        call();
        wall += WallUs() - wall0;
    }
    std::printf("tick-cost %s - %.1f\n", step, wall / calls);
}

}  // namespace

int main(int argc, char** argv)
{
    const int calls = argc > 1 ? std::atoi(argv[1]) : 200;
    if (calls <= 0) return 2;
    lumora::Win32Registry registry;
    lumora::Win32System system;
    lumora::Win32Performance performance;
    lumora::Win32Module16 module16;
    lumora::Win32ToolHelp toolHelp;

    lumora::CpuUsageMeter meter(system, performance, registry);
    lumora::TResources resources(system, module16);
    lumora::TMemory memory(system);
    lumora::TKernel kernel(registry);
    lumora::TDialUp dialUp(registry);
    lumora::TProcess process(toolHelp);

    Time("cpu-sample", calls, [&] {
        try {
            meter.SampleCpuUsage();
            meter.CpuUsageFraction(0);
        } catch (const std::exception&) {
            // Wine delivers no processor object; the tick shows 0 % then, as it does here.
        }
    });
    TimeSpaced("memory-status", 5, 1100, [&] { system.memoryStatus(); });
    Time("probe-resources", calls, [&] { resources.Refresh(); });
    TimeSpaced("probe-memory", 5, 1100, [&] { memory.Refresh(); });
    Time("probe-kernel", calls, [&] { kernel.Refresh(); });
    Time("probe-dial-up", calls, [&] { dialUp.Refresh(); });
    Time("probe-process", calls, [&] { process.Refresh(); });
    return 0;
}

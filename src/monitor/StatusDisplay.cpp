// The About page's live figures, refreshed on every tick of Timer1.
#include <cstdio>
#include <exception>

#include "app/TForm1.h"
#include "app/Text.h"
#include "monitor/CpuUsage.h"
#include "monitor/SystemProbe.h"
#include "platform/System.h"

namespace lumora {

namespace {

// Captions are formatted into a stack buffer and compared before they are set, so that a tick
// whose figures did not change allocates nothing.
void ShowCaption(TControl& control, const char* text)
{
    if (control.Caption() != text) control.SetCaption(text);
}

void ShowFreeFigure(TControl& label, unsigned megabytes, unsigned percent)
{
    char text[48];
    std::snprintf(text, sizeof text, "%u MB (%u %%)", megabytes, percent);
    ShowCaption(label, text);
}

void ShowPercent(TControl& label, unsigned percent)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u %%", percent);
    ShowCaption(label, text);
}

}  // namespace

void TForm1::Timer1Timer()
{
    if (CpuDetectDisabled == 0) {
        try {
            cpuMeter.SampleCpuUsage();
            CpuUsagePercent = RoundHalfEven(cpuMeter.CpuUsageFraction(0) * 100);
        } catch (const std::exception&) {
            // The next tick tries again; on Windows 9x a failed start starts over.
            CpuUsagePercent = 0;
        }
    }

    // The totals stay those of start-up: a page file that grew can show more than 100 % free.
    TakeFreeFigures(ports.system.memoryStatus());

    ShowFreeFigure(Label25, FreePhysMB, FreePhysPercent);
    char total[24];
    std::snprintf(total, sizeof total, "%u MB", static_cast<unsigned>(TotalSwapMB));
    ShowCaption(Label27, total);
    ShowFreeFigure(Label28, FreeSwapMB, FreeSwapPercent);

    try {
        SystemProbe1->Refresh();
        ShowPercent(Label60, SystemProbe1->Resources().GDIResources);
        ShowPercent(Label61, SystemProbe1->Resources().SystemResources);
        ShowPercent(Label62, SystemProbe1->Resources().UserResources);
    } catch (const std::exception&) {
        ShowCaption(Label60, "0 %");
        ShowCaption(Label61, "0 %");
        ShowCaption(Label62, "0 %");
    }

    if (CpuDetectDisabled == 1) {
        ShowCaption(Label48, "...%");
    } else {
        // The figure is whole, so the general form with 15 significant digits prints it
        // without a decimal separator; adding 0 turns a negative zero into "0".
        char cpu[40];
        std::snprintf(cpu, sizeof cpu, "%.15G %%", CpuUsagePercent + 0.0);
        ShowCaption(Label48, cpu);
    }

    ProgressBar1.SetPosition(FreePhysPercent);
    ProgressBar2.SetPosition(FreeSwapPercent);
}

}  // namespace lumora

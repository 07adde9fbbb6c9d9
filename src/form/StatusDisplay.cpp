// The About page's live figures, refreshed on every tick of Timer1.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <exception>

#include "form/TForm1.h"
#include "core/Numbers.h"
#include "monitor/CpuUsage.h"
#include "monitor/SystemProbe.h"
#include "platform/System.h"

namespace lumora {

namespace {

// Captions are written into a stack buffer and compared before they are set, so that a tick
// whose figures did not change allocates nothing. The whole numbers are written digit by digit:
// the general-purpose formatter costs more than the rest of the tick together.
class CaptionText {
public:
    CaptionText& operator<<(const char* text)
    {
        while (*text != '\0' && length_ + 1 < sizeof text_) text_[length_++] = *text++;
        text_[length_] = '\0';
        return *this;
    }
    CaptionText& operator<<(unsigned long long value)
    {
        char digits[24];
        std::size_t count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count > 0 && length_ + 1 < sizeof text_) text_[length_++] = digits[--count];
        text_[length_] = '\0';
        return *this;
    }
    const char* Text() const { return text_; }

private:
    char text_[48] = {};
    std::size_t length_ = 0;
};

void ShowCaption(TControl& control, const char* text)
{
    if (control.Caption() != text) control.SetCaption(text);
}

void ShowFreeFigure(TControl& label, unsigned megabytes, unsigned percent)
{
    CaptionText text;
    text << megabytes << " MB (" << percent << " %)";
    ShowCaption(label, text.Text());
}

void ShowPercent(TControl& label, unsigned percent)
{
    CaptionText text;
    text << percent << " %";
    ShowCaption(label, text.Text());
}

// The CPU figure in the general form with 15 significant digits. It is whole, so below 10^15 that
// form is its plain digits; anything larger takes the formatter's exponent form.
void ShowCpuFigure(TControl& label, long double percent)
{
    const long double value = percent + 0.0L;  // adding 0 turns a negative zero into "0"
    if (std::fabs(value) < 1e15L) {
        CaptionText text;
        const auto whole = static_cast<long long>(value);
        if (whole < 0) text << "-";
        text << static_cast<unsigned long long>(whole < 0 ? -whole : whole) << " %";
        ShowCaption(label, text.Text());
        return;
    }
    char text[40];
    // The runtime's formatter takes doubles only; 15 digits fit in one.
    std::snprintf(text, sizeof text, "%.15G %%", static_cast<double>(value));
    ShowCaption(label, text);
}

}  // namespace

void TForm1::Timer1Timer()
{
    if (CpuDetectDisabled == 0) {
        try {
            cpuMeter.SampleCpuUsage();
            // In double the product of a fraction just off a half can land on the half itself.
            CpuUsagePercent = RoundHalfEven(static_cast<long double>(cpuMeter.CpuUsageFraction(0)) * 100);
        } catch (const std::exception&) {
            // The next tick tries again; on Windows 9x a failed start starts over.
            CpuUsagePercent = 0;
        }
    }

    // The totals stay those of start-up: a page file that grew can show more than 100 % free.
    TakeFreeFigures(ports.system.memoryStatus());

    ShowFreeFigure(Label25, FreePhysMB, FreePhysPercent);
    CaptionText total;
    total << TotalSwapMB << " MB";
    ShowCaption(Label27, total.Text());
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
        ShowCpuFigure(Label48, CpuUsagePercent);
    }

    ProgressBar1.SetPosition(FreePhysPercent);
    ProgressBar2.SetPosition(FreeSwapPercent);
}

}  // namespace lumora

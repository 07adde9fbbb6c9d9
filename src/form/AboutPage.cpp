// The About page: titles, version, the live figures, and the e-mail and homepage links.
#include "form/AboutPage.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <string>

#include "core/Numbers.h"
#include "form/Links.h"
#include "form/TForm1.h"
#include "monitor/SystemProbe.h"
#include "ports/Shell.h"

namespace lumora {

namespace {

// Captions are written into a stack buffer and compared before they are set, so that a tick
// whose figures did not change allocates nothing. The whole numbers are written by to_chars:
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
        const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        for (const char* d = digits; d != end && length_ + 1 < sizeof text_; ++d) text_[length_++] = *d;
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

AboutPage::AboutPage(TForm1& form, TTabSheet& sheet) : FormPage(form, sheet)
{
    // Labels without a font of their own take the page's: the window's "MS Sans Serif" 8 pt
    // in the window-text colour.
    RxLabel1.SetBounds({16, 24, 169, 33});
    RxLabel1.SetCaption("Lumora SE");
    RxLabel1.font = FontSpec{"Verdana", -27, kColorNavy, false, false};
    RxLabel1.shadowColor = kColorWhite;

    Image2.SetBounds({344, 16, 32, 32});
    Image2.resource = "LUMORA_ICON";

    RxLabel2.SetBounds({16, 56, 0, 0});
    RxLabel2.SetCaption("for Windows 9x/Me");
    RxLabel2.font = FontSpec{"Verdana", -19, kColorNavy, false, false};
    RxLabel2.shadowColor = kColorButtonHighlight;

    Label1.SetBounds({314, 64, 0, 0});
    Label1.SetCaption("Version 3.1");
    Label1.font = FontSpec{"Verdana", -11, kColorBlack, false, false};

    // Caption-less group boxes flattened to 7 pixels draw as etched rules.
    GroupBox4.SetBounds({16, 84, 364, 7});
    GroupBox4.SetCaption("");
    GroupBox1.SetBounds({16, 116, 364, 7});
    GroupBox1.SetCaption("");

    // The figure labels hold their design captions until start-up and the status display
    // write the live values.
    PlaceLabels({
        {&Label57, 16, 100, "GDI :"},
        {&Label60, 46, 100, "100 %"},
        {&Label58, 104, 100, "System :"},
        {&Label61, 150, 100, "100 %"},
        {&Label59, 204, 100, "User :"},
        {&Label62, 234, 100, "100 %"},
        {&Label47, 288, 100, "CPU Usage :"},
        {&Label48, 352, 100, "100%"},
        {&Label32, 16, 136, "Total Physical Memory :"},
        {&Label24, 136, 136, "Label24"},
        {&Label33, 16, 152, "Free Physical Memory :"},
        {&Label25, 136, 152, "Label25"},
        {&Label35, 16, 208, "Total Swap File :"},
        {&Label27, 112, 208, "Label27"},
        {&Label36, 16, 224, "Free Swap File :"},
        {&Label28, 112, 224, "Label28"},
        {&Label6, 16, 280, "Email :"},
        {&Label2, 56, 280, kAuthorEmail},
        {&Label7, 16, 296, "Homepage : "},
        {&Label13, 80, 296, kHomepageLink},
        {&Label12, 16, 312, "Copyright (C) 2002 Alex Marlow. All rights reserved."},
    });

    ProgressBar1.SetBounds({16, 176, 369, 16});
    ProgressBar2.SetBounds({16, 248, 364, 16});

    for (TLabel* link : {&Label2, &Label13}) {
        link->font = FontSpec{"MS Sans Serif", -11, kColorNavy, false, true};
        link->handCursor = true;
    }
    Bind(Label2.OnClick, On(&AboutPage::Label2Click));
    Bind(Label13.OnClick, On(&AboutPage::Label13Click));
}

// The links are fixed here, not read from the captions. The shell's answer is not looked at:
// with no program registered for the scheme nothing happens, as the user would expect.
void AboutPage::Label2Click()
{
    form_.ports.shell.open(std::string("mailto:") + kAuthorEmail);
}
void AboutPage::Label13Click()
{
    form_.ports.shell.open(kHomepageLink);
}

void AboutPage::ShowStartFigures()
{
    Label24.SetCaption(ToDecimal(form_.TotalPhysMB) + " MB");
    Label25.SetCaption(ToDecimal(form_.FreePhysMB) + " MB");
    Label27.SetCaption(ToDecimal(form_.TotalSwapMB) + " MB");
    Label28.SetCaption(ToDecimal(form_.FreeSwapMB) + " MB");
    ProgressBar1.SetPosition(form_.FreePhysPercent);
    ProgressBar2.SetPosition(form_.FreeSwapPercent);
}

void AboutPage::ShowLiveFigures()
{
    ShowFreeFigure(Label25, form_.FreePhysMB, form_.FreePhysPercent);
    CaptionText total;
    total << form_.TotalSwapMB << " MB";
    ShowCaption(Label27, total.Text());
    ShowFreeFigure(Label28, form_.FreeSwapMB, form_.FreeSwapPercent);

    TSystemProbe& probe = *form_.SystemProbe1;
    try {
        // Only the resources are shown, but a refresh of the probe reads every group, the 9x
        // dial-up statistics and the process snapshot included: that is its contract, on which
        // its error behaviour (a failing group ends the refresh) and its timing rest.
        probe.Refresh();
        ShowPercent(Label60, probe.Resources().GDIResources);
        ShowPercent(Label61, probe.Resources().SystemResources);
        ShowPercent(Label62, probe.Resources().UserResources);
    } catch (const std::exception&) {
        ShowCaption(Label60, "0 %");
        ShowCaption(Label61, "0 %");
        ShowCaption(Label62, "0 %");
    }

    if (form_.Agent.CpuDetectDisabled == 1) {
        ShowCaption(Label48, "...%");
    } else {
        ShowCpuFigure(Label48, form_.CpuUsagePercent);
    }

    ProgressBar1.SetPosition(form_.FreePhysPercent);
    ProgressBar2.SetPosition(form_.FreeSwapPercent);
}

}  // namespace lumora

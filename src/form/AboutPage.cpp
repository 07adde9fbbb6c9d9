// The About page: titles, version, live figure captions, and the e-mail and homepage links.
#include <string>

#include "form/TForm1.h"
#include "form/Links.h"
#include "platform/Shell.h"

namespace lumora {

void TForm1::BuildAboutPage()
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
    Label2.OnClick = [this] { Label2Click(); };
    Label13.OnClick = [this] { Label13Click(); };
}

// The links are fixed here, not read from the captions. The shell's answer is not looked at:
// with no program registered for the scheme nothing happens, as the user would expect.
void TForm1::Label2Click() { ports.shell.open(std::string("mailto:") + kAuthorEmail); }
void TForm1::Label13Click() { ports.shell.open(kHomepageLink); }

}  // namespace lumora

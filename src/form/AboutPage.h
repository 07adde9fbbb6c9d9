// The About page (TabSheet3): titles, version, the live figures and the e-mail and homepage links.
#pragma once
#include "form/FormPage.h"
#include "ui/Controls.h"

namespace lumora {

class AboutPage : public FormPage {
public:
    AboutPage(TForm1& form, TTabSheet& sheet);

    TLabel RxLabel1{"RxLabel1", &Sheet};
    TImage Image2{"Image2", &Sheet};
    TLabel RxLabel2{"RxLabel2", &Sheet};
    TLabel Label1{"Label1", &Sheet};
    TGroupBox GroupBox4{"GroupBox4", &Sheet};
    TLabel Label57{"Label57", &Sheet};
    TLabel Label60{"Label60", &Sheet};
    TLabel Label58{"Label58", &Sheet};
    TLabel Label61{"Label61", &Sheet};
    TLabel Label59{"Label59", &Sheet};
    TLabel Label62{"Label62", &Sheet};
    TLabel Label47{"Label47", &Sheet};
    TLabel Label48{"Label48", &Sheet};
    TGroupBox GroupBox1{"GroupBox1", &Sheet};
    TLabel Label32{"Label32", &Sheet};
    TLabel Label24{"Label24", &Sheet};
    TLabel Label33{"Label33", &Sheet};
    TLabel Label25{"Label25", &Sheet};
    TProgressBar ProgressBar1{"ProgressBar1", &Sheet};
    TLabel Label35{"Label35", &Sheet};
    TLabel Label27{"Label27", &Sheet};
    TLabel Label36{"Label36", &Sheet};
    TLabel Label28{"Label28", &Sheet};
    TProgressBar ProgressBar2{"ProgressBar2", &Sheet};
    TLabel Label6{"Label6", &Sheet};
    TLabel Label2{"Label2", &Sheet};
    TLabel Label7{"Label7", &Sheet};
    TLabel Label13{"Label13", &Sheet};
    TLabel Label12{"Label12", &Sheet};

    // The memory figures taken at start-up.
    void ShowStartFigures();
    // One tick's figures: memory, free resources (refreshing the probe), CPU usage and bars.
    // A tick whose figures did not change allocates nothing.
    void ShowLiveFigures();

    void Label2Click();
    void Label13Click();
};

}  // namespace lumora

// The Tweak page: three Windows 9x swap and file-system switches, each read at boot.
#include "form/TForm1.h"

namespace lumora {

void TForm1::BuildTweakPage()
{
    struct BoxRow {
        TCheckBox* box;
        int top, width, tabOrder;
        const char* caption;
        void (TForm1::*click)();
    };
    const BoxRow boxes[] = {
        {&CheckBox8, 24, 169, 0, "Contiguous file allocation size", &TForm1::CheckBox8Click},
        {&CheckBox9, 48, 137, 1, "Add buffer for harddisk", &TForm1::CheckBox9Click},
        {&CheckBox10, 72, 241, 2, "Make Windows use RAM as much as possible", &TForm1::CheckBox10Click},
    };
    for (const auto& row : boxes) {
        row.box->SetCaption(row.caption);
        row.box->SetBounds({16, row.top, row.width, 17});
        row.box->tabOrder = row.tabOrder;
        const auto click = row.click;
        row.box->OnClick = [this, click] { (this->*click)(); };
    }
}

// The boxes carry their own state; the save reads it from them.
void TForm1::CheckBox8Click()
{
    RestartPending = true;
    Button2.SetEnabled(true);
}

void TForm1::CheckBox9Click()
{
    RestartPending = true;
    Button2.SetEnabled(true);
}

void TForm1::CheckBox10Click()
{
    RestartPending = true;
    Button2.SetEnabled(true);
}

}  // namespace lumora

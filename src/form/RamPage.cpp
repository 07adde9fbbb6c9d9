// The RAM page ("Lumora"): free-RAM thresholds, timed and menu free-ups, the CPU limit.
#include <string>

#include "form/TForm1.h"
#include "core/Numbers.h"

namespace lumora {

namespace {

std::string Padded(const char* text, std::size_t blanks)
{
    return std::string(text) + std::string(blanks, ' ');
}

}  // namespace

void TForm1::BuildRamPage()
{
    // The row labels carry trailing blanks so that they reach across their rows, under the
    // row's other controls: pointing anywhere along the row then finds the row's label.
    PlaceLabels({
        {&Target, 16, 32, "Target Free RAM    :"},
        {&Label18, 344, 32, "100 MB"},
        {&Minimum, 16, 72, "Minimum Free RAM :"},
        {&Label31, 344, 72, "Label31"},
        {&CPUFree, 16, 160, Padded("Recover RAM if only the CPU usage below", 26)},
        {&Label23, 288, 160, "% "},
        {&TimeFree, 16, 194, Padded("Free up", 69)},
        {&Label14, 112, 194, "MB every"},
        {&Label15, 216, 194, "minutes"},
        {&PopMenu, 16, 232, Padded("Pop up menu free ups", 81)},
        {&Label19, 184, 232, "MB"},
        {&Label20, 264, 232, "MB"},
        {&Label21, 344, 232, "MB"},
    });

    RxSlider1.SetBounds({120, 24, 217, 33});
    RxSlider1.tabOrder = 2;
    RxSlider2.SetBounds({120, 64, 217, 33});
    RxSlider2.tabOrder = 6;
    RxSlider1.OnChange = [this] { RxSlider1Change(); };
    RxSlider2.OnChange = [this] { RxSlider2Change(); };

    CheckBox6.SetCaption("Disable the CPU usage detection");
    CheckBox6.SetBounds({16, 120, 185, 17});
    CheckBox6.tabOrder = 9;
    CheckBox6.OnClick = [this] { CheckBox6Click(); };

    struct SpinRow {
        TRxSpinEdit* edit;
        Bounds bounds;
        int tabOrder;
        double min, max;
        void (TForm1::*change)();
    };
    // The maxima of RxSpinEdit1 (10 here) and of the menu amounts follow the memory at start-up.
    const SpinRow spins[] = {
        {&RxSpinEdit7, {232, 158, 49, 21}, 7, 1, 100, &TForm1::RxSpinEdit7Change},
        {&RxSpinEdit1, {64, 192, 41, 21}, 0, 0, 10, &TForm1::RxSpinEdit1Change},
        {&RxSpinEdit2, {168, 192, 41, 21}, 1, 1, 60, &TForm1::RxSpinEdit2Change},
        {&RxSpinEdit3, {128, 230, 49, 21}, 3, 1, 100, &TForm1::RxSpinEdit3Change},
        {&RxSpinEdit4, {208, 230, 49, 21}, 4, 1, 100, &TForm1::RxSpinEdit4Change},
        {&RxSpinEdit5, {288, 230, 49, 21}, 5, 1, 100, &TForm1::RxSpinEdit5Change},
    };
    for (const auto& row : spins) {
        row.edit->SetBounds(row.bounds);
        row.edit->tabOrder = row.tabOrder;
        row.edit->SetMinValue(row.min);
        row.edit->SetMaxValue(row.max);
        row.edit->SetValue(row.min);
        const auto change = row.change;
        row.edit->OnChange = [this, change] { (this->*change)(); };
    }

    Button5.SetCaption("Automatic");
    Button5.SetBounds({148, 344, 75, 25});
    Button5.tabOrder = 8;
    Button5.OnClick = [this] { Button5Click(); };
}

void TForm1::RxSlider1Change()
{
    Button2.SetEnabled(true);
    TargetFreeMB = static_cast<std::uint16_t>(RxSlider1.Value());
    Label18.SetCaption(ToDecimal(RxSlider1.Value()) + " MB");
}

void TForm1::RxSlider2Change()
{
    Button2.SetEnabled(true);
    MinimumFreeMB = static_cast<std::uint16_t>(RxSlider2.Value());
    Label31.SetCaption(ToDecimal(RxSlider2.Value()) + " MB");
}

void TForm1::RxSpinEdit1Change() { Button2.SetEnabled(true); }
void TForm1::RxSpinEdit2Change() { Button2.SetEnabled(true); }
void TForm1::RxSpinEdit3Change() { Button2.SetEnabled(true); }
void TForm1::RxSpinEdit4Change() { Button2.SetEnabled(true); }
void TForm1::RxSpinEdit5Change() { Button2.SetEnabled(true); }
void TForm1::RxSpinEdit7Change() { Button2.SetEnabled(true); }

void TForm1::CheckBox6Click()
{
    Button2.SetEnabled(true);
    const bool rowEnabled = !CheckBox6.Checked();
    CPUFree.SetEnabled(rowEnabled);
    RxSpinEdit7.SetEnabled(rowEnabled);
    Label23.SetEnabled(rowEnabled);
}

void TForm1::Button5Click()
{
    const std::uint16_t total = TotalPhysMB;
    TargetFreeMB = static_cast<std::uint16_t>(total / 4);
    MinimumFreeMB = static_cast<std::uint16_t>(total / 16);
    FreeUpMB = 2;
    FreeIntervalMin = 3;
    CpuLimitPercent = 90;
    MenuFreeMB1 = total / 4;
    MenuFreeMB2 = total / 8;
    MenuFreeMB3 = total / 16;
    Label18.SetCaption(ToDecimal(TargetFreeMB) + " MB");
    RxSlider1.SetValue(TargetFreeMB);
    Label31.SetCaption(ToDecimal(MinimumFreeMB) + " MB");
    RxSlider2.SetValue(MinimumFreeMB);
    RxSpinEdit1.SetValue(FreeUpMB);
    RxSpinEdit2.SetValue(FreeIntervalMin);
    RxSpinEdit7.SetValue(CpuLimitPercent);
    RxSpinEdit3.SetValue(MenuFreeMB1);
    RxSpinEdit4.SetValue(MenuFreeMB2);
    RxSpinEdit5.SetValue(MenuFreeMB3);
}

}  // namespace lumora

// The RAM page ("Lumora"): free-RAM thresholds, timed and menu free-ups, the CPU limit.
#include "form/RamPage.h"

#include <string>

#include "core/Numbers.h"
#include "form/DescriptionTable.h"
#include "form/TForm1.h"

namespace lumora {

namespace {

std::string Padded(const char* text, std::size_t blanks)
{
    return std::string(text) + std::string(blanks, ' ');
}

std::string Megabytes(std::int64_t value)
{
    return ToDecimal(value) + " MB";
}

}  // namespace

RamPage::RamPage(TForm1& form, TTabSheet& sheet) : FormPage(form, sheet)
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
    Bind(RxSlider1.OnChange, On(&RamPage::RxSlider1Change));
    Bind(RxSlider2.OnChange, On(&RamPage::RxSlider2Change));

    PlaceCheckBoxes({
        {&CheckBox6, "Disable the CPU usage detection", 120, 185, 9, On(&RamPage::CheckBox6Click),
         On(&RamPage::CheckBox6MouseMove)},
    });

    struct SpinRow {
        TRxSpinEdit* edit;
        Bounds bounds;
        int tabOrder;
        double min, max;
        Handler change;
    };
    // The maxima of RxSpinEdit1 (10 here) and of the menu amounts follow the memory at start-up.
    const SpinRow spins[] = {
        {&RxSpinEdit7, {232, 158, 49, 21}, 7, 1, 100, On(&RamPage::RxSpinEdit7Change)},
        {&RxSpinEdit1, {64, 192, 41, 21}, 0, 0, 10, On(&RamPage::RxSpinEdit1Change)},
        {&RxSpinEdit2, {168, 192, 41, 21}, 1, 1, 60, On(&RamPage::RxSpinEdit2Change)},
        {&RxSpinEdit3, {128, 230, 49, 21}, 3, 1, 100, On(&RamPage::RxSpinEdit3Change)},
        {&RxSpinEdit4, {208, 230, 49, 21}, 4, 1, 100, On(&RamPage::RxSpinEdit4Change)},
        {&RxSpinEdit5, {288, 230, 49, 21}, 5, 1, 100, On(&RamPage::RxSpinEdit5Change)},
    };
    for (const auto& row : spins) {
        row.edit->SetBounds(row.bounds);
        row.edit->tabOrder = row.tabOrder;
        row.edit->SetMinValue(row.min);
        row.edit->SetMaxValue(row.max);
        row.edit->SetValue(row.min);
        Bind(row.edit->OnChange, row.change);
    }

    PlaceAutomaticButton(Button5, 8, On(&RamPage::Button5Click));

    // Controls left out keep what the Description box shows: the button.
    struct Described {
        TControl* control;
        MouseHandler handler;
    };
    const Described described[] = {
        {&Target, On(&RamPage::TargetMouseMove)},           {&RxSlider1, On(&RamPage::RxSlider1MouseMove)},
        {&Label18, On(&RamPage::Label18MouseMove)},         {&Minimum, On(&RamPage::MinimumMouseMove)},
        {&RxSlider2, On(&RamPage::RxSlider2MouseMove)},     {&Label31, On(&RamPage::Label31MouseMove)},
        {&CPUFree, On(&RamPage::CPUFreeMouseMove)},         {&RxSpinEdit7, On(&RamPage::RxSpinEdit7MouseMove)},
        {&Label23, On(&RamPage::Label23MouseMove)},         {&TimeFree, On(&RamPage::TimeFreeMouseMove)},
        {&RxSpinEdit1, On(&RamPage::RxSpinEdit1MouseMove)}, {&Label14, On(&RamPage::Label14MouseMove)},
        {&RxSpinEdit2, On(&RamPage::RxSpinEdit2MouseMove)}, {&Label15, On(&RamPage::Label15MouseMove)},
        {&PopMenu, On(&RamPage::PopMenuMouseMove)},         {&RxSpinEdit3, On(&RamPage::RxSpinEdit3MouseMove)},
        {&Label19, On(&RamPage::Label19MouseMove)},         {&RxSpinEdit4, On(&RamPage::RxSpinEdit4MouseMove)},
        {&Label20, On(&RamPage::Label20MouseMove)},         {&RxSpinEdit5, On(&RamPage::RxSpinEdit5MouseMove)},
        {&Label21, On(&RamPage::Label21MouseMove)},         {&Sheet, On(&RamPage::TabSheet1MouseMove)},
    };
    for (const auto& d : described) BindMouseMove(*d.control, d.handler);
}

void RamPage::ShowCpuDetection(const AgentStore& agent)
{
    if (agent.CpuDetectDisabled == 1) CheckBox6.SetChecked(true);
}

void RamPage::ShowAmounts(const AgentStore& agent)
{
    Label18.SetCaption(Megabytes(agent.TargetFreeMB));
    RxSlider1.SetValue(agent.TargetFreeMB);
    Label31.SetCaption(Megabytes(agent.MinimumFreeMB));
    RxSlider2.SetValue(agent.MinimumFreeMB);
    RxSpinEdit1.SetValue(agent.FreeUpMB);
    RxSpinEdit2.SetValue(agent.FreeIntervalMin);
    RxSpinEdit7.SetValue(agent.CpuLimitPercent);
    RxSpinEdit3.SetValue(agent.MenuFreeMB1);
    RxSpinEdit4.SetValue(agent.MenuFreeMB2);
    RxSpinEdit5.SetValue(agent.MenuFreeMB3);
}

void RamPage::Collect(AgentChoices& c) const
{
    c.cpuDetectDisabled = CheckBox6.Checked();
    c.targetFreeMB = RxSlider1.Value();
    c.minimumFreeMB = RxSlider2.Value();
    c.freeUpMB = RxSpinEdit1.Value();
    c.freeIntervalMin = RxSpinEdit2.Value();
    c.cpuLimitPercent = RxSpinEdit7.Value();
    c.menuFreeMB1 = RxSpinEdit3.Value();
    c.menuFreeMB2 = RxSpinEdit4.Value();
    c.menuFreeMB3 = RxSpinEdit5.Value();
}

void RamPage::TakeThreshold(const TRxSlider& slider, std::uint16_t& amount, TLabel& label)
{
    form_.Button2.SetEnabled(true);
    amount = static_cast<std::uint16_t>(slider.Value());
    label.SetCaption(Megabytes(slider.Value()));
}

void RamPage::RxSlider1Change()
{
    TakeThreshold(RxSlider1, form_.Agent.TargetFreeMB, Label18);
}
void RamPage::RxSlider2Change()
{
    TakeThreshold(RxSlider2, form_.Agent.MinimumFreeMB, Label31);
}

void RamPage::RxSpinEdit1Change()
{
    form_.Button2.SetEnabled(true);
}
void RamPage::RxSpinEdit2Change()
{
    form_.Button2.SetEnabled(true);
}
void RamPage::RxSpinEdit3Change()
{
    form_.Button2.SetEnabled(true);
}
void RamPage::RxSpinEdit4Change()
{
    form_.Button2.SetEnabled(true);
}
void RamPage::RxSpinEdit5Change()
{
    form_.Button2.SetEnabled(true);
}
void RamPage::RxSpinEdit7Change()
{
    form_.Button2.SetEnabled(true);
}

void RamPage::CheckBox6Click()
{
    form_.Button2.SetEnabled(true);
    const bool rowEnabled = !CheckBox6.Checked();
    CPUFree.SetEnabled(rowEnabled);
    RxSpinEdit7.SetEnabled(rowEnabled);
    Label23.SetEnabled(rowEnabled);
}

void RamPage::Button5Click()
{
    form_.Agent.SetAmounts(DefaultAgentAmounts(form_.TotalPhysMB));
    ShowAmounts(form_.Agent);
}

void RamPage::TargetMouseMove(int, int)
{
    form_.ShowDescription(kTargetRow);
}
void RamPage::RxSlider1MouseMove(int, int)
{
    form_.ShowDescription(kTargetSlider);
}
void RamPage::Label18MouseMove(int, int)
{
    form_.ShowDescription(kTargetRow);
}
void RamPage::MinimumMouseMove(int, int)
{
    form_.ShowDescription(kMinimumRow);
}
void RamPage::RxSlider2MouseMove(int, int)
{
    form_.ShowDescription(kMinimumRow);
}
void RamPage::Label31MouseMove(int, int)
{
    form_.ShowDescription(kMinimumRow);
}
void RamPage::CheckBox6MouseMove(int, int)
{
    form_.ShowDescription(kCpuDetection);
}
void RamPage::CPUFreeMouseMove(int, int)
{
    form_.ShowDescription(kCpuRow);
}
void RamPage::RxSpinEdit7MouseMove(int, int)
{
    form_.ShowDescription(kCpuLimit);
}
void RamPage::Label23MouseMove(int, int)
{
    form_.ShowDescription(kCpuLimit);
}
void RamPage::TimeFreeMouseMove(int, int)
{
    form_.ShowDescription(kTimedFreeUp);
}
void RamPage::RxSpinEdit1MouseMove(int, int)
{
    form_.ShowDescription(kTimedFreeUp);
}
void RamPage::Label14MouseMove(int, int)
{
    form_.ShowDescription(kTimedFreeUp);
}
void RamPage::RxSpinEdit2MouseMove(int, int)
{
    form_.ShowDescription(kTimedFreeUp);
}
void RamPage::Label15MouseMove(int, int)
{
    form_.ShowDescription(kTimedFreeUp);
}
void RamPage::PopMenuMouseMove(int, int)
{
    form_.ShowDescription(kMenuFreeUps);
}
void RamPage::RxSpinEdit3MouseMove(int, int)
{
    form_.ShowDescription(kMenuFreeUps);
}
void RamPage::Label19MouseMove(int, int)
{
    form_.ShowDescription(kMenuFreeUps);
}
void RamPage::RxSpinEdit4MouseMove(int, int)
{
    form_.ShowDescription(kMenuFreeUps);
}
void RamPage::Label20MouseMove(int, int)
{
    form_.ShowDescription(kMenuFreeUps);
}
void RamPage::RxSpinEdit5MouseMove(int, int)
{
    form_.ShowDescription(kMenuFreeUps);
}
void RamPage::Label21MouseMove(int, int)
{
    form_.ShowDescription(kMenuFreeUps);
}

// The page raises its own move only where no enabled control lies under the pointer; a
// disabled control (the CPU row while detection is off) hands its moves here too.
void RamPage::TabSheet1MouseMove(int x, int y)
{
    for (const auto& band : kRamPageBands) {
        if (x > band.left && x < band.right && y > band.top && y < band.bottom) {
            form_.ShowDescription(*band.entry);
            return;
        }
    }
    form_.ShowDescription(kNoDescription);
}

}  // namespace lumora

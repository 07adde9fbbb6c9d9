// The Tweak page: three Windows 9x swap and file-system switches, each read at boot.
#include "form/TweakPage.h"

#include "form/DescriptionTable.h"
#include "form/TForm1.h"

namespace lumora {

TweakPage::TweakPage(TForm1& form, TTabSheet& sheet) : FormPage(form, sheet)
{
    PlaceCheckBoxes({
        {&CheckBox8, "Contiguous file allocation size", 24, 169, 0, On(&TweakPage::CheckBox8Click),
         On(&TweakPage::CheckBox8MouseMove)},
        {&CheckBox9, "Add buffer for harddisk", 48, 137, 1, On(&TweakPage::CheckBox9Click),
         On(&TweakPage::CheckBox9MouseMove)},
        {&CheckBox10, "Make Windows use RAM as much as possible", 72, 241, 2, On(&TweakPage::CheckBox10Click),
         On(&TweakPage::CheckBox10MouseMove)},
    });
    BindMouseMove(Sheet, On(&TweakPage::TabSheet8MouseMove));
}

void TweakPage::ShowLoaded(const TuningStore& tuning)
{
    CheckBox8.SetChecked(tuning.ContigAllocSize == TuningStore::kContigAllocOn);
    CheckBox9.SetChecked(tuning.PageBuffersText == TuningStore::kPageBuffersOn);
    CheckBox10.SetChecked(tuning.ConservativeSwapText == TuningStore::kConservativeSwapOn);
}

void TweakPage::Collect(TuningChoices& c) const
{
    c.contiguousAllocation = CheckBox8.Checked();
    c.diskBuffers = CheckBox9.Checked();
    c.conservativeSwap = CheckBox10.Checked();
}

void TweakPage::CheckBox8Click()
{
    form_.RestartPending = true;
    form_.Button2.SetEnabled(true);
}

void TweakPage::CheckBox9Click()
{
    form_.RestartPending = true;
    form_.Button2.SetEnabled(true);
}

void TweakPage::CheckBox10Click()
{
    form_.RestartPending = true;
    form_.Button2.SetEnabled(true);
}

void TweakPage::CheckBox8MouseMove(int, int)
{
    form_.ShowDescription(kContiguousAllocation);
}
void TweakPage::CheckBox9MouseMove(int, int)
{
    form_.ShowDescription(kDiskBuffers);
}
void TweakPage::CheckBox10MouseMove(int, int)
{
    form_.ShowDescription(kConservativeSwap);
}
void TweakPage::TabSheet8MouseMove(int, int)
{
    form_.ShowDescription(kNoDescription);
}

}  // namespace lumora

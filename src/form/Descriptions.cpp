// The Description box: each described control's mouse-move handler and the page backgrounds.
#include "form/TForm1.h"
#include "form/DescriptionTable.h"

namespace lumora {

namespace {

void Show(TForm1& form, const Description& entry) { form.ShowDescription(entry.line1, entry.line2); }

}  // namespace

void TForm1::BindDescriptions()
{
    // Controls left out keep what the box shows: buttons, combo boxes, the cache pages' caption
    // and value labels, the sound file box and its button, the box itself and the last two pages.
    struct Binding {
        TControl* control;
        void (TForm1::*handler)(int, int);
    };
    const Binding bindings[] = {
        {&Target, &TForm1::TargetMouseMove},
        {&RxSlider1, &TForm1::RxSlider1MouseMove},
        {&Label18, &TForm1::Label18MouseMove},
        {&Minimum, &TForm1::MinimumMouseMove},
        {&RxSlider2, &TForm1::RxSlider2MouseMove},
        {&Label31, &TForm1::Label31MouseMove},
        {&CheckBox6, &TForm1::CheckBox6MouseMove},
        {&CPUFree, &TForm1::CPUFreeMouseMove},
        {&RxSpinEdit7, &TForm1::RxSpinEdit7MouseMove},
        {&Label23, &TForm1::Label23MouseMove},
        {&TimeFree, &TForm1::TimeFreeMouseMove},
        {&RxSpinEdit1, &TForm1::RxSpinEdit1MouseMove},
        {&Label14, &TForm1::Label14MouseMove},
        {&RxSpinEdit2, &TForm1::RxSpinEdit2MouseMove},
        {&Label15, &TForm1::Label15MouseMove},
        {&PopMenu, &TForm1::PopMenuMouseMove},
        {&RxSpinEdit3, &TForm1::RxSpinEdit3MouseMove},
        {&Label19, &TForm1::Label19MouseMove},
        {&RxSpinEdit4, &TForm1::RxSpinEdit4MouseMove},
        {&Label20, &TForm1::Label20MouseMove},
        {&RxSpinEdit5, &TForm1::RxSpinEdit5MouseMove},
        {&Label21, &TForm1::Label21MouseMove},
        {&TabSheet1, &TForm1::TabSheet1MouseMove},
        {&CheckBox7, &TForm1::CheckBox7MouseMove},
        {&CheckBox2, &TForm1::CheckBox2MouseMove},
        {&CheckBox3, &TForm1::CheckBox3MouseMove},
        {&CheckBox5, &TForm1::CheckBox5MouseMove},
        {&CheckBox1, &TForm1::CheckBox1MouseMove},
        {&TabSheet2, &TForm1::TabSheet2MouseMove},
        {&RxSlider3, &TForm1::RxSlider3MouseMove},
        {&RxSlider4, &TForm1::RxSlider4MouseMove},
        {&RxSlider5, &TForm1::RxSlider5MouseMove},
        {&TabSheet4, &TForm1::TabSheet4MouseMove},
        {&RxSlider6, &TForm1::RxSlider6MouseMove},
        {&RxSlider7, &TForm1::RxSlider7MouseMove},
        {&TabSheet7, &TForm1::TabSheet7MouseMove},
        {&CheckBox8, &TForm1::CheckBox8MouseMove},
        {&CheckBox9, &TForm1::CheckBox9MouseMove},
        {&CheckBox10, &TForm1::CheckBox10MouseMove},
        {&TabSheet8, &TForm1::TabSheet8MouseMove},
    };
    for (const auto& binding : bindings) {
        const auto handler = binding.handler;
        binding.control->OnMouseMove = [this, handler](int x, int y) { (this->*handler)(x, y); };
    }
}

// Both lines are set on every move, also when they already show the entry.
void TForm1::ShowDescription(const std::string& line1, const std::string& line2)
{
    Label8.SetCaption(line1);
    Label9.SetCaption(line2);
}

// --- RAM page
void TForm1::TargetMouseMove(int, int) { Show(*this, kTargetRow); }
void TForm1::RxSlider1MouseMove(int, int) { Show(*this, kTargetSlider); }
void TForm1::Label18MouseMove(int, int) { Show(*this, kTargetRow); }
void TForm1::MinimumMouseMove(int, int) { Show(*this, kMinimumRow); }
void TForm1::RxSlider2MouseMove(int, int) { Show(*this, kMinimumRow); }
void TForm1::Label31MouseMove(int, int) { Show(*this, kMinimumRow); }
void TForm1::CheckBox6MouseMove(int, int) { Show(*this, kCpuDetection); }
void TForm1::CPUFreeMouseMove(int, int) { Show(*this, kCpuRow); }
void TForm1::RxSpinEdit7MouseMove(int, int) { Show(*this, kCpuLimit); }
void TForm1::Label23MouseMove(int, int) { Show(*this, kCpuLimit); }
void TForm1::TimeFreeMouseMove(int, int) { Show(*this, kTimedFreeUp); }
void TForm1::RxSpinEdit1MouseMove(int, int) { Show(*this, kTimedFreeUp); }
void TForm1::Label14MouseMove(int, int) { Show(*this, kTimedFreeUp); }
void TForm1::RxSpinEdit2MouseMove(int, int) { Show(*this, kTimedFreeUp); }
void TForm1::Label15MouseMove(int, int) { Show(*this, kTimedFreeUp); }
void TForm1::PopMenuMouseMove(int, int) { Show(*this, kMenuFreeUps); }
void TForm1::RxSpinEdit3MouseMove(int, int) { Show(*this, kMenuFreeUps); }
void TForm1::Label19MouseMove(int, int) { Show(*this, kMenuFreeUps); }
void TForm1::RxSpinEdit4MouseMove(int, int) { Show(*this, kMenuFreeUps); }
void TForm1::Label20MouseMove(int, int) { Show(*this, kMenuFreeUps); }
void TForm1::RxSpinEdit5MouseMove(int, int) { Show(*this, kMenuFreeUps); }
void TForm1::Label21MouseMove(int, int) { Show(*this, kMenuFreeUps); }

// The page raises its own move only where no enabled control lies under the pointer; a
// disabled control (the CPU row while detection is off) hands its moves here too.
void TForm1::TabSheet1MouseMove(int x, int y)
{
    for (const auto& band : kRamPageBands) {
        if (x > band.left && x < band.right && y > band.top && y < band.bottom) {
            Show(*this, *band.entry);
            return;
        }
    }
    Show(*this, kNoDescription);
}

// --- Options page
void TForm1::CheckBox7MouseMove(int, int) { Show(*this, kAlwaysOnTop); }
void TForm1::CheckBox2MouseMove(int, int) { Show(*this, kAutoStart); }
void TForm1::CheckBox3MouseMove(int, int) { Show(*this, kTrayIcon); }
void TForm1::CheckBox5MouseMove(int, int) { Show(*this, kClearClipboard); }
void TForm1::CheckBox1MouseMove(int, int) { Show(*this, kPlaySound); }
void TForm1::TabSheet2MouseMove(int, int) { Show(*this, kNoDescription); }

// --- Disk Cache page
void TForm1::RxSlider3MouseMove(int, int) { Show(*this, kMinimumCache); }
void TForm1::RxSlider4MouseMove(int, int) { Show(*this, kMaximumCache); }
void TForm1::RxSlider5MouseMove(int, int) { Show(*this, kChunkSize); }
void TForm1::TabSheet4MouseMove(int, int) { Show(*this, kNoDescription); }

// --- File Cache page
void TForm1::RxSlider6MouseMove(int, int) { Show(*this, kNameCache); }
void TForm1::RxSlider7MouseMove(int, int) { Show(*this, kDirectoryCache); }
void TForm1::TabSheet7MouseMove(int, int) { Show(*this, kNoDescription); }

// --- Tweak page
void TForm1::CheckBox8MouseMove(int, int) { Show(*this, kContiguousAllocation); }
void TForm1::CheckBox9MouseMove(int, int) { Show(*this, kDiskBuffers); }
void TForm1::CheckBox10MouseMove(int, int) { Show(*this, kConservativeSwap); }
void TForm1::TabSheet8MouseMove(int, int) { Show(*this, kNoDescription); }

}  // namespace lumora

// The child-window ID of every control of the main window: the one table that the program and
// the drivers working it from other processes share. The toolkit creates each control's window
// with its ID, and a driver finds the control by it (GetDlgCtrlID), so naming the controls
// leaves nothing in storage the system shares (global atoms, window properties), which on
// Windows 9x outlives a process that dies.
#pragma once
#include <string_view>

#include "ui/Controls.h"

namespace lumora {

// The main window's caption. A second start finds the running manager by it (and its window
// class) and leaves; the error boxes carry it as their title.
inline constexpr const char* kMainCaption = "Lumora Manager";

// The pages of "PageControl1" by index, left to right as the user sees them.
enum PageIndex : int {
    kRamPage,
    kOptionsPage,
    kDiskCachePage,
    kFileCachePage,
    kTweakPage,
    kPromotionPage,
    kAboutPage,
    kPageCount,
};

// A control's ID is this plus its place in kControlNames.
constexpr int kFirstControlId = 100;

// Every control of the main window by name, window-wide ones first, then each page's in the
// order of the tabs. The main window itself has no ID.
// One row per group of the window, as the comments divide it.
// clang-format off
inline constexpr const char* const kControlNames[] = {
    // The frame
    "PageControl1", "TabSheet1", "TabSheet2", "TabSheet4", "TabSheet7", "TabSheet8", "TabSheet5", "TabSheet3",
    "Button2", "Button3", "GroupBox5", "Label8", "Label9",
    // Lumora (RAM)
    "Target", "RxSlider1", "Label18", "Minimum", "RxSlider2", "Label31", "CheckBox6", "CPUFree", "RxSpinEdit7",
    "Label23", "TimeFree", "RxSpinEdit1", "Label14", "RxSpinEdit2", "Label15", "PopMenu", "RxSpinEdit3", "Label19",
    "RxSpinEdit4", "Label20", "RxSpinEdit5", "Label21", "Button5",
    // Options
    "CheckBox7", "CheckBox2", "CheckBox3", "CheckBox5", "CheckBox1", "Edit1", "SpeedButton1",
    // Disk Cache
    "Label3", "Label16", "RxSlider3", "Label10", "Label17", "RxSlider4", "Label11", "Label30", "RxSlider5", "Label49",
    "ComboBox1", "Button4",
    // File Cache
    "Label55", "Label4", "RxSlider6", "Label56", "Label5", "RxSlider7", "Label54", "ComboBox2", "Button6",
    // Tweak
    "CheckBox8", "CheckBox9", "CheckBox10",
    // Promotion
    "Image1", "Label50", "Label44", "Label45", "Label46", "Label51", "Label52", "Label53",
    // About
    "RxLabel1", "Image2", "RxLabel2", "Label1", "GroupBox4", "Label57", "Label60", "Label58", "Label61", "Label59",
    "Label62", "Label47", "Label48", "GroupBox1", "Label32", "Label24", "Label33", "Label25", "ProgressBar1",
    "Label35", "Label27", "Label36", "Label28", "ProgressBar2", "Label6", "Label2", "Label7", "Label13", "Label12",
};
// clang-format on

constexpr int kControlCount = static_cast<int>(sizeof kControlNames / sizeof kControlNames[0]);
static_assert(kFirstControlId + kControlCount <= kPartIdOffset, "control IDs run into the part IDs");

// The ID of the control named name; 0 when no control has that name.
constexpr int ControlIdOf(std::string_view name)
{
    for (int i = 0; i < kControlCount; ++i) {
        if (std::string_view(kControlNames[i]) == name) return kFirstControlId + i;
    }
    return 0;
}

// The name of the control with this ID; empty when no control has it.
constexpr std::string_view ControlNameOf(int id)
{
    if (id < kFirstControlId || id >= kFirstControlId + kControlCount) return std::string_view();
    return kControlNames[id - kFirstControlId];
}

// Gives root and every control below it the ID of its name; a control not in the table keeps
// the ID it has.
void AssignControlIds(TControl& root);

}  // namespace lumora

// What every page of the main window shares: its tab sheet, the window, and the binding of its
// controls' events to its handlers.
#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Slider.h"

namespace lumora {

class TForm1;

class FormPage {
public:
    FormPage(const FormPage&) = delete;
    FormPage& operator=(const FormPage&) = delete;

    // The page's tab sheet, parent of all its controls; declared first so that the page's
    // controls can name it.
    TTabSheet& Sheet;

protected:
    FormPage(TForm1& form, TTabSheet& sheet) : Sheet(sheet), form_(form) {}
    ~FormPage() = default;

    // A page's handlers as handlers of the base: every page binds its events through the same
    // two functions, so the program carries one event wrapper for all of them.
    using Handler = void (FormPage::*)();
    using MouseHandler = void (FormPage::*)(int, int);
    template <typename Page>
    static Handler On(void (Page::*handler)())
    {
        return static_cast<Handler>(handler);
    }
    template <typename Page>
    static MouseHandler On(void (Page::*handler)(int, int))
    {
        return static_cast<MouseHandler>(handler);
    }
    void Bind(std::function<void()>& event, Handler handler);
    void BindMouseMove(TControl& control, MouseHandler handler);

    // A check box at left 16, 17 pixels high.
    struct CheckBoxRow {
        TCheckBox* box;
        const char* caption;
        int top, width, tabOrder;
        Handler click;
        MouseHandler mouseMove;
    };
    void PlaceCheckBoxes(std::initializer_list<CheckBoxRow> rows);

    // A cache page's slider: a full-width row from 0 to max.
    struct CacheSliderRow {
        TRxSlider* slider;
        int top, tabOrder, max;
        Handler change;
        MouseHandler mouseMove;
    };
    void PlaceCacheSliders(std::initializer_list<CacheSliderRow> rows, int increment);
    // A cache slider's new value: its label shows it, the profile box falls back to "User
    // Defined", and the change waits for a restart.
    void ShowCustomCacheValueAndMarkRestart(TLabel& label, const std::string& caption, TComboBox& profileBox);
    // A cache page's profile box under its sliders; items: "User Defined", then the profiles.
    void PlaceProfileBox(TComboBox& box, int tabOrder, std::vector<std::string> items, Handler change);
    // The "Automatic" button at the foot of a settings page.
    void PlaceAutomaticButton(TButton& button, int tabOrder, Handler click);

    TForm1& form_;
};

}  // namespace lumora

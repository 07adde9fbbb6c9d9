// The File Cache page (TabSheet7): the file system's name and directory cache sizes and its roles.
#pragma once
#include <cstdint>

#include "form/FormPage.h"
#include "tuning/TuningStore.h"
#include "ui/Controls.h"
#include "ui/Slider.h"

namespace lumora {

class FileCachePage : public FormPage {
public:
    FileCachePage(TForm1& form, TTabSheet& sheet);

    TLabel Label55{"Label55", &Sheet};
    TLabel Label4{"Label4", &Sheet};
    TRxSlider RxSlider6{"RxSlider6", &Sheet};
    TLabel Label56{"Label56", &Sheet};
    TLabel Label5{"Label5", &Sheet};
    TRxSlider RxSlider7{"RxSlider7", &Sheet};
    TLabel Label54{"Label54", &Sheet};
    TComboBox ComboBox2{"ComboBox2", &Sheet};
    TButton Button6{"Button6", &Sheet};

    // The sliders, sizes and role from the loaded template; the page counts as untouched after.
    void ShowLoaded(TuningStore& tuning);
    // What a save takes from this page.
    void Collect(TuningChoices& choices) const;

    void RxSlider6Change();
    void RxSlider7Change();
    void ComboBox2Change();
    void Button6Click();

    void RxSlider6MouseMove(int x, int y);
    void RxSlider7MouseMove(int x, int y);
    void TabSheet7MouseMove(int x, int y);

private:
    // Puts a role's sizes on the page.
    void ApplyRole(int item);
    void ShowCacheSizes();
    // A moved slider's size becomes its grid value in the store, the role box says "User
    // Defined", Apply is enabled and a restart is pending.
    void TakePositionAndMarkRestart(const TRxSlider& slider, std::int32_t unit, std::int32_t& size, TLabel& label);

    // A control changed since the last load: only then does the save choose a template.
    bool edited_ = false;
};

}  // namespace lumora

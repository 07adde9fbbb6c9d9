// The Disk Cache page (TabSheet4): SYSTEM.INI's disk cache limits and chunk size, with profiles.
#pragma once
#include <cstdint>
#include <string>

#include "form/FormPage.h"
#include "tuning/TuningStore.h"
#include "ui/Controls.h"
#include "ui/Slider.h"

namespace lumora {

class DiskCachePage : public FormPage {
public:
    DiskCachePage(TForm1& form, TTabSheet& sheet);

    TLabel Label3{"Label3", &Sheet};
    TLabel Label16{"Label16", &Sheet};
    TRxSlider RxSlider3{"RxSlider3", &Sheet};
    TLabel Label10{"Label10", &Sheet};
    TLabel Label17{"Label17", &Sheet};
    TRxSlider RxSlider4{"RxSlider4", &Sheet};
    TLabel Label11{"Label11", &Sheet};
    TLabel Label30{"Label30", &Sheet};
    TRxSlider RxSlider5{"RxSlider5", &Sheet};
    TLabel Label49{"Label49", &Sheet};
    TComboBox ComboBox1{"ComboBox1", &Sheet};
    TButton Button4{"Button4", &Sheet};

    // The sliders, labels and profile from the loaded disk cache texts (after the agent values).
    void ShowLoaded(const TuningStore& tuning);

    void RxSlider3Change();
    void RxSlider4Change();
    void RxSlider5Change();
    void ComboBox1Change();
    void Button4Click();

    void RxSlider3MouseMove(int x, int y);
    void RxSlider4MouseMove(int x, int y);
    void RxSlider5MouseMove(int x, int y);
    void TabSheet4MouseMove(int x, int y);

private:
    // Moves the three sliders to a profile's positions; their handlers run where one moves.
    void MoveSliders(int item);
    void ShowTexts();
    // A moved slider's text becomes its grid value in the store, the profile box says "User
    // Defined", Apply is enabled and a restart is pending.
    void TakePositionAndMarkRestart(const TRxSlider& slider, std::int32_t unit, std::string& text, TLabel& label);
};

}  // namespace lumora

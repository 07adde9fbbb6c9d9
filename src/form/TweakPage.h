// The Tweak page (TabSheet8): three Windows 9x swap and file-system switches, each read at boot.
#pragma once
#include "form/FormPage.h"
#include "tuning/TuningStore.h"
#include "ui/Controls.h"

namespace lumora {

class TweakPage : public FormPage {
public:
    TweakPage(TForm1& form, TTabSheet& sheet);

    TCheckBox CheckBox8{"CheckBox8", &Sheet};
    TCheckBox CheckBox9{"CheckBox9", &Sheet};
    TCheckBox CheckBox10{"CheckBox10", &Sheet};

    // The boxes from the loaded values.
    void ShowLoaded(const TuningStore& tuning);
    // What a save takes from this page: the boxes carry their own state.
    void Collect(TuningChoices& choices) const;

    void CheckBox8Click();
    void CheckBox9Click();
    void CheckBox10Click();

    void CheckBox8MouseMove(int x, int y);
    void CheckBox9MouseMove(int x, int y);
    void CheckBox10MouseMove(int x, int y);
    void TabSheet8MouseMove(int x, int y);
};

}  // namespace lumora

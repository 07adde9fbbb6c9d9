// The Options page (TabSheet2): the agent's general options, the sound file, the window's stacking.
#pragma once
#include "form/FormPage.h"
#include "settings/AgentStore.h"
#include "ui/Controls.h"

namespace lumora {

class OptionsPage : public FormPage {
public:
    OptionsPage(TForm1& form, TTabSheet& sheet);

    TCheckBox CheckBox7{"CheckBox7", &Sheet};
    TCheckBox CheckBox2{"CheckBox2", &Sheet};
    TCheckBox CheckBox3{"CheckBox3", &Sheet};
    TCheckBox CheckBox5{"CheckBox5", &Sheet};
    TCheckBox CheckBox1{"CheckBox1", &Sheet};
    TEdit Edit1{"Edit1", &Sheet};
    TSpeedButton SpeedButton1{"SpeedButton1", &Sheet};

    // Stay-on-top (box and window style) and autostart from the loaded flags.
    void ShowStartFlags(const AgentStore& agent);
    // The tray, clipboard and sound options from the loaded flags and sound file.
    void ShowOptions(const AgentStore& agent);
    // What a save takes from this page.
    void Collect(AgentChoices& choices) const;

    void CheckBox7Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox5Click();
    void CheckBox1Click();
    void SpeedButton1Click();

    void CheckBox7MouseMove(int x, int y);
    void CheckBox2MouseMove(int x, int y);
    void CheckBox3MouseMove(int x, int y);
    void CheckBox5MouseMove(int x, int y);
    void CheckBox1MouseMove(int x, int y);
    void TabSheet2MouseMove(int x, int y);
};

}  // namespace lumora

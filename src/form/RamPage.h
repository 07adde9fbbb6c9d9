// The RAM page ("Lumora", TabSheet1): free-RAM thresholds, timed and menu free-ups, the CPU limit.
#pragma once
#include <cstdint>

#include "form/FormPage.h"
#include "settings/AgentStore.h"
#include "ui/Controls.h"
#include "ui/Slider.h"
#include "ui/SpinEdit.h"

namespace lumora {

class RamPage : public FormPage {
public:
    RamPage(TForm1& form, TTabSheet& sheet);

    TLabel Target{"Target", &Sheet};
    TRxSlider RxSlider1{"RxSlider1", &Sheet};
    TLabel Label18{"Label18", &Sheet};
    TLabel Minimum{"Minimum", &Sheet};
    TRxSlider RxSlider2{"RxSlider2", &Sheet};
    TLabel Label31{"Label31", &Sheet};
    TCheckBox CheckBox6{"CheckBox6", &Sheet};
    TLabel CPUFree{"CPUFree", &Sheet};
    TRxSpinEdit RxSpinEdit7{"RxSpinEdit7", &Sheet};
    TLabel Label23{"Label23", &Sheet};
    TLabel TimeFree{"TimeFree", &Sheet};
    TRxSpinEdit RxSpinEdit1{"RxSpinEdit1", &Sheet};
    TLabel Label14{"Label14", &Sheet};
    TRxSpinEdit RxSpinEdit2{"RxSpinEdit2", &Sheet};
    TLabel Label15{"Label15", &Sheet};
    TLabel PopMenu{"PopMenu", &Sheet};
    TRxSpinEdit RxSpinEdit3{"RxSpinEdit3", &Sheet};
    TLabel Label19{"Label19", &Sheet};
    TRxSpinEdit RxSpinEdit4{"RxSpinEdit4", &Sheet};
    TLabel Label20{"Label20", &Sheet};
    TRxSpinEdit RxSpinEdit5{"RxSpinEdit5", &Sheet};
    TLabel Label21{"Label21", &Sheet};
    TButton Button5{"Button5", &Sheet};

    // The CPU detection box from the loaded flag (it only ever checks it).
    void ShowCpuDetection(const AgentStore& agent);
    // The sliders and spin edits from the agent's loaded amounts.
    void ShowAmounts(const AgentStore& agent);
    // What a save takes from this page.
    void Collect(AgentChoices& choices) const;

    void RxSlider1Change();
    void RxSlider2Change();
    void RxSpinEdit1Change();
    void RxSpinEdit2Change();
    void RxSpinEdit3Change();
    void RxSpinEdit4Change();
    void RxSpinEdit5Change();
    void RxSpinEdit7Change();
    void CheckBox6Click();
    void Button5Click();

    void TargetMouseMove(int x, int y);
    void RxSlider1MouseMove(int x, int y);
    void Label18MouseMove(int x, int y);
    void MinimumMouseMove(int x, int y);
    void RxSlider2MouseMove(int x, int y);
    void Label31MouseMove(int x, int y);
    void CheckBox6MouseMove(int x, int y);
    void CPUFreeMouseMove(int x, int y);
    void RxSpinEdit7MouseMove(int x, int y);
    void Label23MouseMove(int x, int y);
    void TimeFreeMouseMove(int x, int y);
    void RxSpinEdit1MouseMove(int x, int y);
    void Label14MouseMove(int x, int y);
    void RxSpinEdit2MouseMove(int x, int y);
    void Label15MouseMove(int x, int y);
    void PopMenuMouseMove(int x, int y);
    void RxSpinEdit3MouseMove(int x, int y);
    void Label19MouseMove(int x, int y);
    void RxSpinEdit4MouseMove(int x, int y);
    void Label20MouseMove(int x, int y);
    void RxSpinEdit5MouseMove(int x, int y);
    void Label21MouseMove(int x, int y);
    void TabSheet1MouseMove(int x, int y);

private:
    // A moved threshold slider: the agent's amount and the label beside it follow.
    void TakeThreshold(const TRxSlider& slider, std::uint16_t& amount, TLabel& label);
};

}  // namespace lumora

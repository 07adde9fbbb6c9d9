// The Options page: the agent's general options, the sound file and the window's stacking.
#include "form/OptionsPage.h"

#include "form/DescriptionTable.h"
#include "form/TForm1.h"
#include "ports/Dialogs.h"

namespace lumora {

namespace {
const char* const kWaveFilter = "Microsoft Waveform Audio (*.WAV)|*.wav";

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
}  // namespace

OptionsPage::OptionsPage(TForm1& form, TTabSheet& sheet) : FormPage(form, sheet)
{
    PlaceCheckBoxes({
        {&CheckBox7, "Always Appear on the Top", 24, 145, 5, On(&OptionsPage::CheckBox7Click),
         On(&OptionsPage::CheckBox7MouseMove)},
        {&CheckBox2, "Start automatically with Windows", 48, 177, 0, On(&OptionsPage::CheckBox2Click),
         On(&OptionsPage::CheckBox2MouseMove)},
        {&CheckBox3, "Show available RAM level in the tray icon", 72, 217, 1, On(&OptionsPage::CheckBox3Click),
         On(&OptionsPage::CheckBox3MouseMove)},
        {&CheckBox5, "Clear the clipboard when freeing up RAM", 96, 217, 4, On(&OptionsPage::CheckBox5Click),
         On(&OptionsPage::CheckBox5MouseMove)},
        {&CheckBox1, "Make a sound when freeing up RAM", 120, 193, 2, On(&OptionsPage::CheckBox1Click),
         On(&OptionsPage::CheckBox1MouseMove)},
    });
    Edit1.SetBounds({34, 144, 231, 21});
    Edit1.tabOrder = 3;
    SpeedButton1.SetBounds({266, 144, 23, 22});
    SpeedButton1.resource = "OPENFOLDER";
    Bind(SpeedButton1.OnClick, On(&OptionsPage::SpeedButton1Click));
    // The sound file box and its button keep what the Description box shows.
    BindMouseMove(Sheet, On(&OptionsPage::TabSheet2MouseMove));
}

void OptionsPage::ShowStartFlags(const AgentStore& agent)
{
    if (agent.AlwaysOnTopFlag == 1) {
        CheckBox7.SetChecked(true);
        form_.SetStayOnTop(true);
    } else {
        form_.SetStayOnTop(false);
    }
    if (agent.AutoStartFlag == 1) CheckBox2.SetChecked(true);
}

void OptionsPage::ShowOptions(const AgentStore& agent)
{
    if (agent.ClearClipboardFlag == 1) CheckBox5.SetChecked(true);
    if (agent.RamIconFlag == 1) CheckBox3.SetChecked(true);
    if (agent.PlaySoundFlag == 1) {
        CheckBox1.SetChecked(true);
        Edit1.SetEnabled(true);
        SpeedButton1.SetEnabled(true);
    } else {
        Edit1.SetEnabled(false);
        SpeedButton1.SetEnabled(false);
    }
    Edit1.SetText(agent.SoundFile);
}

void OptionsPage::Collect(AgentChoices& c) const
{
    c.alwaysOnTop = CheckBox7.Checked();
    c.clearClipboard = CheckBox5.Checked();
    c.ramIcon = CheckBox3.Checked();
    c.playSound = CheckBox1.Checked();
    // The picker's choice, not the box that shows it.
    c.soundFile = form_.Agent.SoundFile;
    c.autoStart = CheckBox2.Checked();
}

void OptionsPage::CheckBox7Click()
{
    form_.Button2.SetEnabled(true);
}
void OptionsPage::CheckBox2Click()
{
    form_.Button2.SetEnabled(true);
}
void OptionsPage::CheckBox3Click()
{
    form_.Button2.SetEnabled(true);
}
void OptionsPage::CheckBox5Click()
{
    form_.Button2.SetEnabled(true);
}

void OptionsPage::CheckBox1Click()
{
    form_.Button2.SetEnabled(true);
    Edit1.SetEnabled(CheckBox1.Checked());
    SpeedButton1.SetEnabled(CheckBox1.Checked());
}

void OptionsPage::SpeedButton1Click()
{
    std::string& soundFile = form_.Agent.SoundFile;
    std::string name = form_.OpenDialog1FileName;
    const std::string folder = FolderOf(soundFile).empty() ? form_.CurrentDir : FolderOf(soundFile);
    if (!form_.ports.dialogs.openFile(kWaveFilter, folder, name)) return;
    form_.OpenDialog1FileName = name;
    form_.Button2.SetEnabled(true);
    soundFile = name;
    Edit1.SetText(soundFile);
}

void OptionsPage::CheckBox7MouseMove(int, int)
{
    form_.ShowDescription(kAlwaysOnTop);
}
void OptionsPage::CheckBox2MouseMove(int, int)
{
    form_.ShowDescription(kAutoStart);
}
void OptionsPage::CheckBox3MouseMove(int, int)
{
    form_.ShowDescription(kTrayIcon);
}
void OptionsPage::CheckBox5MouseMove(int, int)
{
    form_.ShowDescription(kClearClipboard);
}
void OptionsPage::CheckBox1MouseMove(int, int)
{
    form_.ShowDescription(kPlaySound);
}
void OptionsPage::TabSheet2MouseMove(int, int)
{
    form_.ShowDescription(kNoDescription);
}

}  // namespace lumora

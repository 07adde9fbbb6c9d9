// The Options page: the agent's general options, the sound file and the window's stacking.
#include "form/TForm1.h"
#include "platform/Dialogs.h"

namespace lumora {

namespace {
const char* const kWaveFilter = "Microsoft Waveform Audio (*.WAV)|*.wav";

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
}  // namespace

void TForm1::BuildOptionsPage()
{
    struct BoxRow {
        TCheckBox* box;
        const char* caption;
        int top, width, tabOrder;
        void (TForm1::*click)();
    };
    const BoxRow boxes[] = {
        {&CheckBox7, "Always Appear on the Top", 24, 145, 5, &TForm1::CheckBox7Click},
        {&CheckBox2, "Start automatically with Windows", 48, 177, 0, &TForm1::CheckBox2Click},
        {&CheckBox3, "Show available RAM level in the tray icon", 72, 217, 1, &TForm1::CheckBox3Click},
        {&CheckBox5, "Clear the clipboard when freeing up RAM", 96, 217, 4, &TForm1::CheckBox5Click},
        {&CheckBox1, "Make a sound when freeing up RAM", 120, 193, 2, &TForm1::CheckBox1Click},
    };
    for (const auto& row : boxes) {
        row.box->SetCaption(row.caption);
        row.box->SetBounds({16, row.top, row.width, 17});
        row.box->tabOrder = row.tabOrder;
        const auto click = row.click;
        row.box->OnClick = [this, click] { (this->*click)(); };
    }
    Edit1.SetBounds({34, 144, 231, 21});
    Edit1.tabOrder = 3;
    SpeedButton1.SetBounds({266, 144, 23, 22});
    SpeedButton1.resource = "OPENFOLDER";
    SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
}

void TForm1::CheckBox7Click() { Button2.SetEnabled(true); }
void TForm1::CheckBox2Click() { Button2.SetEnabled(true); }
void TForm1::CheckBox3Click() { Button2.SetEnabled(true); }
void TForm1::CheckBox5Click() { Button2.SetEnabled(true); }

void TForm1::CheckBox1Click()
{
    Button2.SetEnabled(true);
    Edit1.SetEnabled(CheckBox1.Checked());
    SpeedButton1.SetEnabled(CheckBox1.Checked());
}

void TForm1::SpeedButton1Click()
{
    std::string name = OpenDialog1FileName;
    const std::string folder = FolderOf(SoundFile).empty() ? CurrentDir : FolderOf(SoundFile);
    if (!ports.dialogs.openFile(kWaveFilter, folder, name)) return;
    OpenDialog1FileName = name;
    Button2.SetEnabled(true);
    SoundFile = name;
    Edit1.SetText(SoundFile);
}

}  // namespace lumora

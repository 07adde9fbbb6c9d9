// The agent halves of ReadData and SaveData: HKCU\Software\Lumora and the Run entry.
#include <functional>

#include "core/Exception.h"
#include "form/TForm1.h"
#include "core/Numbers.h"
#include "settings/Registry.h"

namespace lumora {

namespace {

const char* const kAgentKey = "Software\\Lumora";
const char* const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string AgentPath(const TForm1& form)
{
    return form.CurrentDir + "\\Lumora.exe";
}

std::string DefaultSoundFile(const TForm1& form)
{
    return form.CurrentDir + "\\confirmation.wav";
}

// Reads one value: the missing default when it does not exist, the unreadable default when
// the read fails. Failures are never reported.
template <typename T, typename Read>
T Load(TRegistry& reg, const std::string& name, Read read, T whenMissing, T whenUnreadable)
{
    if (!reg.ValueExists(name)) return whenMissing;
    try {
        return read(name);
    } catch (const Exception&) {
        return whenUnreadable;
    }
}

// An integer kept in a 16-bit field keeps its low 16 bits.
std::uint16_t Low16(std::int32_t value)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu);
}

}  // namespace

void TForm1::ReadAgentValues()
{
    {
        TRegistry reg(ports.registry);
        reg.SetRootKey(RegRoot::CurrentUser);
        // When the key cannot be opened the reads look at the root key, which holds none of the
        // values: they take their missing defaults.
        agentKeyRead_ = reg.OpenKey(kAgentKey, true);
        const auto integer = [&](const char* name, std::uint16_t missing, std::uint16_t unreadable) {
            return Load<std::uint16_t>(
                reg, name, [&](const std::string& n) { return Low16(reg.ReadInteger(n)); }, missing, unreadable);
        };
        const auto number = [&](const char* name, double fallback) {
            return Load<double>(
                reg, name, [&](const std::string& n) { return reg.ReadFloat(n); }, fallback, fallback);
        };
        const std::uint16_t total = TotalPhysMB;
        CpuDetectDisabled = integer("Disable_CPU_detect", 0, 0);
        AlwaysOnTopFlag = integer("Always on Top", 0, 0);
        // "Fre" is the name the agent reads: keep the misspelling.
        TargetFreeMB = integer("Target Fre RAM", static_cast<std::uint16_t>(total / 4), static_cast<std::uint16_t>(total / 4));
        MinimumFreeMB = integer("Minimum Free RAM", static_cast<std::uint16_t>(total / 16), static_cast<std::uint16_t>(total / 16));
        FreeUpMB = number("FreeValue1", 2);
        FreeIntervalMin = number("FreeTime", 3);
        CpuLimitPercent = number("FreeCPU", 90);
        MenuFreeMB1 = number("Menu1", total / 4);
        MenuFreeMB2 = number("Menu2", total / 8);
        MenuFreeMB3 = number("Menu3", total / 16);
        ClearClipboardFlag = integer("AutoclearClipboard", 0, 0);
        RamIconFlag = integer("RAMIcon", 0, 0);
        PlaySoundFlag = integer("PlaySound", 0, 0);
        SoundFile = Load<std::string>(
            reg, "Music", [&](const std::string& n) { return reg.ReadString(n); }, DefaultSoundFile(*this),
            DefaultSoundFile(*this));
        // The one value whose defaults differ: a first start registers the agent.
        AutoStartFlag = integer("AutoStart", 1, 0);
    }
}

void TForm1::RegisterAutoStart()
{
    // The defaults that stood in for an unreadable agent key must not change the entry.
    if (!agentKeyRead_) return;
    TRegistry reg(ports.registry);
    reg.SetRootKey(RegRoot::LocalMachine);
    // The load never creates the Run key: without it there is nothing to keep in step (the
    // adapter would otherwise aim the write at the root key). The save creates it.
    if (!reg.OpenKey(kRunKey, false)) return;
    if (AutoStartFlag == 1) {
        reg.WriteString("Lumora", AgentPath(*this));
    } else {
        reg.DeleteValue("Lumora");
    }
}

void TForm1::ApplyAgentFlags()
{
    if (CpuDetectDisabled == 1) CheckBox6.SetChecked(true);
    if (AlwaysOnTopFlag == 1) {
        CheckBox7.SetChecked(true);
        SetStayOnTop(true);
    } else {
        SetStayOnTop(false);
    }
    if (AutoStartFlag == 1) CheckBox2.SetChecked(true);
}

void TForm1::FillRamAndOptions()
{
    Label18.SetCaption(ToDecimal(TargetFreeMB) + " MB");
    RxSlider1.SetValue(TargetFreeMB);
    Label31.SetCaption(ToDecimal(MinimumFreeMB) + " MB");
    RxSlider2.SetValue(MinimumFreeMB);
    RxSpinEdit1.SetValue(FreeUpMB);
    RxSpinEdit2.SetValue(FreeIntervalMin);
    RxSpinEdit7.SetValue(CpuLimitPercent);
    RxSpinEdit3.SetValue(MenuFreeMB1);
    RxSpinEdit4.SetValue(MenuFreeMB2);
    RxSpinEdit5.SetValue(MenuFreeMB3);

    if (ClearClipboardFlag == 1) CheckBox5.SetChecked(true);
    if (RamIconFlag == 1) CheckBox3.SetChecked(true);
    if (PlaySoundFlag == 1) {
        CheckBox1.SetChecked(true);
        Edit1.SetEnabled(true);
        SpeedButton1.SetEnabled(true);
    } else {
        Edit1.SetEnabled(false);
        SpeedButton1.SetEnabled(false);
    }
    Edit1.SetText(SoundFile);
}

void TForm1::SaveAgentValues()
{
    {
        TRegistry reg(ports.registry);
        reg.SetRootKey(RegRoot::LocalMachine);
        reg.OpenKey(kRunKey, true);
        if (CheckBox2.Checked()) {
            reg.WriteString("Lumora", AgentPath(*this));
        } else {
            reg.DeleteValue("Lumora");
        }
    }

    TRegistry reg(ports.registry);
    reg.SetRootKey(RegRoot::CurrentUser);
    reg.OpenKey(kAgentKey, true);
    const auto flag = [](const TCheckBox& box) { return box.Checked() ? 1 : 0; };
    reg.WriteInteger("Disable_CPU_Detect", flag(CheckBox6));
    reg.WriteInteger("Always on Top", flag(CheckBox7));
    reg.WriteInteger("Target Fre RAM", RxSlider1.Value());
    reg.WriteInteger("Minimum Free RAM", RxSlider2.Value());
    reg.WriteFloat("FreeValue1", RxSpinEdit1.Value());
    reg.WriteFloat("FreeTime", RxSpinEdit2.Value());
    reg.WriteFloat("FreeCPU", RxSpinEdit7.Value());
    reg.WriteFloat("Menu1", RxSpinEdit3.Value());
    reg.WriteFloat("Menu2", RxSpinEdit4.Value());
    reg.WriteFloat("Menu3", RxSpinEdit5.Value());
    reg.WriteInteger("AutoClearClipboard", flag(CheckBox5));
    reg.WriteInteger("RAMIcon", flag(CheckBox3));
    reg.WriteInteger("PlaySound", flag(CheckBox1));
    // The picker's choice, not the box that shows it.
    reg.WriteString("Music", SoundFile);
    reg.WriteInteger("AutoStart", flag(CheckBox2));
}

}  // namespace lumora

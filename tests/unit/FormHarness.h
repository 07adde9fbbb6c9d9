// A main window on a fake machine prepared as the tests' Windows 98 machine, for the native tests.
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/FakePorts.h"
#include "form/TForm1.h"
#include "monitor/CpuUsage.h"

namespace lumora::testing {

inline const char* const kAgentKey = "HKCU\\Software\\Lumora";
inline const char* const kRunKey = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const char* const kTemplatesKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\FS Templates";

// Bytes written as small numbers, for stored values: Raw({0xA5, 0x02, 0, 0}).
inline std::vector<std::uint8_t> Raw(std::initializer_list<int> bytes)
{
    std::vector<std::uint8_t> out;
    for (int b : bytes) out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

// A text as the registry stores it: its bytes and the terminating zero.
inline std::vector<std::uint8_t> TextBytes(const std::string& text)
{
    std::vector<std::uint8_t> out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

// Calls visit for root and every control below it, parents before their children.
inline void ForEachControl(TControl& root, const std::function<void(TControl&)>& visit)
{
    visit(root);
    for (TControl* child : root.Children()) ForEachControl(*child, visit);
}

// The control named name below root (the last one met, were there two); nullptr when none is.
inline TControl* FindControl(TControl& root, const std::string& name)
{
    TControl* found = nullptr;
    ForEachControl(root, [&](TControl& control) {
        if (control.Name() == name) found = &control;
    });
    return found;
}

// A main window as its constructor leaves it, on a bare fake machine and before FormCreate:
// the designed controls with their places and handlers.
struct DesignedForm {
    fakes::FakeMachine machine;
    CpuUsageMeter meter{machine.ports};
    TForm1 form{machine.ports, meter};

    // The control of that name in the window; a missing one ends the test with an exception.
    TControl& Control(const std::string& name)
    {
        TControl* control = FindControl(form, name);
        if (!control) throw std::runtime_error("no control " + name);
        return *control;
    }
};

// The fake machine as tests/common/PreparedMachine.inc lays it out, as the Wine prefixes are.
inline void PrepareMachine(fakes::FakeMachine& machine)
{
    const auto ini = [&](const std::string& section, const std::string& entry) {
        auto& entries = machine.profile.sections[fakes::Lower(section)];
        const auto equals = entry.find('=');
        if (equals != std::string::npos) entries[fakes::Lower(entry.substr(0, equals))] = entry.substr(equals + 1);
    };
    const auto templ = [&](const std::string& name, std::uint32_t names, std::uint32_t paths) {
        const std::string key = std::string(kTemplatesKey) + "\\" + name;
        machine.registry.Put(key, "NameCache", kRegBinary, fakes::Le32(names));
        machine.registry.Put(key, "PathCache", kRegBinary, fakes::Le32(paths));
    };
#define LUMORA_MACHINE_KEY(root, path) machine.registry.CreateKey(std::string(#root "\\") + path);
#define LUMORA_MACHINE_TEMPLATE(name, names, paths) templ(name, names, paths);
#define LUMORA_MACHINE_INI(section, entry) ini(section, entry);
#include "common/PreparedMachine.inc"
#undef LUMORA_MACHINE_KEY
#undef LUMORA_MACHINE_TEMPLATE
#undef LUMORA_MACHINE_INI
}

struct FormHarness;
// What a test adds to a new window before its start-up (a control planted on a page); it keeps
// what it adds in the harness's planted.
using Plant = std::function<void(FormHarness&, TForm1&)>;

struct FormHarness {
    fakes::FakeMachine machine;
    // Declared before the window, so that they outlive it.
    std::vector<std::unique_ptr<TControl>> planted;
    std::unique_ptr<CpuUsageMeter> meter;
    std::unique_ptr<TForm1> form;
    int closes = 0;
    Plant plant;

    explicit FormHarness(unsigned totalMB = 128)
    {
        machine.system.SetMemoryMB(totalMB, totalMB / 3);
        PrepareMachine(machine);
    }

    TForm1& Start()
    {
        meter = std::make_unique<CpuUsageMeter>(machine.ports);
        form = std::make_unique<TForm1>(machine.ports, *meter);
        if (plant) plant(*this, *form);
        form->onClose = [this] { ++closes; };
        form->Dispatch([this] { form->FormCreate(); });
        return *form;
    }

    void Apply()
    {
        form->Dispatch([this] { form->Button2Click(); });
    }

    // The registry writes and deletes made so far under the agent key, by value name.
    std::vector<std::string> AgentWrites() const
    {
        std::vector<std::string> names;
        const std::string prefix = "set HKCU\\Software\\Lumora\\";
        for (const auto& line : machine.registry.log) {
            if (line.rfind(prefix, 0) == 0) names.push_back(line.substr(prefix.size()));
        }
        return names;
    }
};

}  // namespace lumora::testing

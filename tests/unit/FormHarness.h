// A main window on a fake machine prepared as a Windows 98 machine has it, for the native tests.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "form/TForm1.h"
#include "fakes/FakePorts.h"
#include "monitor/CpuUsage.h"

namespace lumora::testing {

inline const char* const kAgentKey = "HKCU\\Software\\Lumora";
inline const char* const kRunKey = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const char* const kTemplatesKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\FS Templates";

struct FormHarness {
    fakes::FakeMachine machine;
    std::unique_ptr<CpuUsageMeter> meter;
    std::unique_ptr<TForm1> form;
    int closes = 0;

    explicit FormHarness(unsigned totalMB = 128)
    {
        machine.system.SetMemoryMB(totalMB, totalMB / 3);
        machine.registry.CreateKey(kRunKey);
        machine.registry.CreateKey(kAgentKey);
        machine.registry.CreateKey("HKLM\\System\\CurrentControlSet\\Control\\FileSystem");
        const struct {
            const char* name;
            std::uint8_t name0, name1, path;
        } templates[] = {{"Desktop", 0xA5, 0x02, 32}, {"Mobile", 0x51, 0x01, 16}, {"Server", 0xA9, 0x0A, 64}};
        for (const auto& t : templates) {
            const std::string key = std::string(kTemplatesKey) + "\\" + t.name;
            machine.registry.Put(key, "NameCache", kRegBinary, {t.name0, t.name1, 0, 0});
            machine.registry.Put(key, "PathCache", kRegBinary, {t.path, 0, 0, 0});
        }
    }

    TForm1& Start()
    {
        meter = std::make_unique<CpuUsageMeter>(machine.ports);
        form = std::make_unique<TForm1>(machine.ports, *meter);
        form->onClose = [this] { ++closes; };
        form->Dispatch([this] { form->FormCreate(); });
        return *form;
    }

    void Apply() { form->Dispatch([this] { form->Button2Click(); }); }

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

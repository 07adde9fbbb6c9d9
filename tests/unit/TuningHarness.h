// Helpers for the tuning tests: the machine's tuning places and a recorder of control effects.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "form/TForm1.h"
#include "unit/FormHarness.h"

namespace lumora::testing {

inline const char* const kFileSystemKey = "HKLM\\System\\CurrentControlSet\\Control\\FileSystem";
inline const std::string kOwnTemplateKey = std::string(kTemplatesKey) + "\\Lumora";

inline std::string TemplateKey(const std::string& name)
{
    return std::string(kTemplatesKey) + "\\" + name;
}

// Registry effects under HKLM since `from`, the Run entry left out: key paths in lower case
// (whatever case created them), the value or key name at the end exactly as written.
inline std::vector<std::string> TuningRegistryLog(const fakes::FakeRegistry& registry, std::size_t from = 0)
{
    std::vector<std::string> out;
    for (std::size_t i = from; i < registry.log.size(); ++i) {
        const std::string& line = registry.log[i];
        const auto last = line.rfind('\\');
        const std::string path = fakes::Lower(line.substr(0, last));
        const bool runKey = path.size() >= 4 && path.compare(path.size() - 4, 4, "\\run") == 0;
        if (path.find(" hklm\\") == std::string::npos || runKey) continue;
        out.push_back(path + line.substr(last));
    }
    return out;
}

// Records, in order, each visible effect on the watched controls together with whether a
// restart was pending at that moment ("Label16=2048 kb R").
class EffectRecorder : public ControlPeer {
public:
    EffectRecorder(TForm1& form, std::initializer_list<TControl*> controls) : form_(form)
    {
        for (TControl* c : controls) c->AttachPeer(this);
    }
    void changed(TControl& control, Property property) override
    {
        std::string value;
        switch (property) {
        case Property::Enabled: value = control.Enabled() ? "on" : "off"; break;
        case Property::Caption: value = control.Caption(); break;
        case Property::Selection: value = std::to_string(static_cast<TComboBox&>(control).ItemIndex()); break;
        case Property::Position: value = std::to_string(static_cast<TRxSlider&>(control).Value()); break;
        default: return;
        }
        effects.push_back(control.Name() + "=" + value + (form_.RestartPending ? " R" : ""));
    }
    std::vector<std::string> effects;

private:
    TForm1& form_;
};

}  // namespace lumora::testing

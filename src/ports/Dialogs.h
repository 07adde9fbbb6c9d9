// Dialogs port: the modal boxes of the toolkit (error box, confirmation, file-open dialog).
#pragma once
#include <algorithm>
#include <string>

namespace lumora {

class DialogPort {
public:
    virtual ~DialogPort() = default;
    // The application's error box: the message with an error icon.
    virtual void showError(const std::string& message) = 0;
    // A Yes/No question with a question icon; true for Yes.
    virtual bool confirm(const std::string& text, const std::string& title) = 0;
    // The system's file-open dialog. fileName holds the preselected name on entry and the
    // chosen full path on return; false when the user cancels.
    virtual bool openFile(const std::string& filter, const std::string& initialDir, std::string& fileName) = 0;
};

// The platform's filter form: "Text|*.ext|..." becomes "Text\0*.ext\0...\0\0".
inline std::string DoubleNulFilter(const std::string& filter)
{
    std::string out = filter;
    std::replace(out.begin(), out.end(), '|', '\0');
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

}  // namespace lumora

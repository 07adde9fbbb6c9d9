// The dialog port over Win32: the application's error box, the Yes/No question, the file-open
// dialog.
#pragma once
#include <string>
#include <utility>

#include "ports/Dialogs.h"

namespace lumora {

class Win32Dialogs : public DialogPort {
public:
    // title is the error box's.
    explicit Win32Dialogs(std::string title) : title_(std::move(title)) {}

    // The main window, once it exists: the boxes are modal to it. Before that they have no owner.
    void setOwner(void* hwnd) { owner_ = hwnd; }

    void showError(const std::string& message) override;
    bool confirm(const std::string& text, const std::string& title) override;
    // Accepts names of files and folders that do not exist. A preselected name the dialog
    // refuses to start with is dropped, so that the dialog still opens.
    bool openFile(const std::string& filter, const std::string& initialDir, std::string& fileName) override;

private:
    std::string title_;
    void* owner_ = nullptr;
};

}  // namespace lumora

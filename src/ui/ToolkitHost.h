// What the native toolkit needs of the window it shows, beyond the tree of control models.
#pragma once
#include <functional>

#include "ui/Controls.h"

namespace lumora {

class ToolkitHost {
public:
    virtual ~ToolkitHost() = default;
    // Runs a handler at the dispatch boundary: an error shows the error box and the window keeps
    // running. Every native event enters the system through here.
    virtual void Dispatch(const std::function<void()>& handler) = 0;
    // The message-loop timer the toolkit runs for the window.
    virtual TTimer& Timer() = 0;
    // The stay-on-top style the window's peer follows (its changes come as Property::Style).
    virtual bool StayOnTop() const = 0;
    // Where the window asks to be closed; the toolkit answers by closing its native window.
    // nullptr: no one listens.
    virtual void SetCloseRequest(std::function<void()> close) = 0;
};

}  // namespace lumora

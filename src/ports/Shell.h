// Shell port: hands a link to the program registered for its scheme.
#pragma once
#include <string>

namespace lumora {

class ShellPort {
public:
    virtual ~ShellPort() = default;
    // One "open" of link owned by the main window, shown normally; the result is not reported.
    virtual void open(const std::string& link) = 0;
};

}  // namespace lumora

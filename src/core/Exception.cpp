// Message formatting for the system's errors.
#include "core/Exception.h"

namespace lumora {

std::string Format(const std::string& pattern, const std::string& arg)
{
    std::string out = pattern;
    const auto at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, arg);
    return out;
}

}  // namespace lumora

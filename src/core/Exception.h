// The one error type of the system: a failure that carries the text the user is shown.
#pragma once
#include <stdexcept>
#include <string>

namespace lumora {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Replaces the first "%s" of pattern by arg.
std::string Format(const std::string& pattern, const std::string& arg);

}  // namespace lumora

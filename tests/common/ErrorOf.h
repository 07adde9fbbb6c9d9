// The message of the system's error that a call raises, for tests that check exact texts.
#pragma once
#include <functional>
#include <string>

#include "core/Exception.h"

namespace lumora::testing {

// "<no error>" when the call returns normally; any other exception passes through.
inline std::string ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.what();
    }
    return "<no error>";
}

}  // namespace lumora::testing

// The Wine test programs' shared pieces: value texts and the listener that ends a test.
#include "WineTest.h"

#include <windows.h>

#include <cstdlib>

namespace lumora::winetest {
namespace {

// GoogleTest catches this exception type from a test's body as a failure already reported, and
// records nothing more; a skip reported before it stays the test's result.
class EndTest : public ::testing::EmptyTestEventListener {
public:
    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        if (result.fatally_failed() || result.skipped()) throw ::testing::AssertionException(result);
    }
};

}  // namespace

void EndTestOnFatalFailureOrSkip()
{
    // Last, so that every other listener (the printer, the XML report) has seen the result.
    ::testing::UnitTest::GetInstance()->listeners().Append(new EndTest);
}

std::string WineVersion()
{
    using Get = const char*(__cdecl*)();
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) return std::string();
    const auto get = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    return get != nullptr ? get() : std::string();
}

void SeeWindowsInScreenPixels()
{
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const HMODULE user = GetModuleHandleA("user32.dll");
    const auto set = user != nullptr ? reinterpret_cast<SetContext>(reinterpret_cast<void*>(
                                           GetProcAddress(user, "SetProcessDpiAwarenessContext")))
                                     : nullptr;
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE, which older headers lack.
    if (set != nullptr) set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3)));
}

bool WineUpTo(int last)
{
    const std::string version = WineVersion();
    return !version.empty() && std::atoi(version.c_str()) <= last;
}

std::string Show(const std::string& value)
{
    return "\"" + value + "\"";
}

std::string Show(const char* value)
{
    return value == nullptr ? std::string("(null)") : Show(std::string(value));
}

std::string Show(std::uint8_t value)
{
    return Show(static_cast<unsigned>(value));
}

std::string Show(bool value)
{
    return value ? "true" : "false";
}

}  // namespace lumora::winetest

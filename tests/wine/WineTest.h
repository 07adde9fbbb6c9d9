// What the test programs that run under Wine share besides GoogleTest: the text of a value in a
// trace line or a skip's reason, the rule that a fatal failure or a skip ends the whole test, and
// the marks of the answers only Wine gives.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace lumora::winetest {

template <typename T>
std::string Show(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}
std::string Show(const std::string& value);
std::string Show(const char* value);
std::string Show(std::uint8_t value);
std::string Show(bool value);

// Makes the first fatal failure (ASSERT_*, FAIL()) or skip (GTEST_SKIP()) end the running test
// wherever it is reported. GoogleTest's own macros return only from the function they are in;
// the tests check in helpers and lambdas, and the end-to-end driver ends a test whose control is
// missing or whose program never showed its window, so a failed precondition must not let the
// test go on against a window that is not there. Programs that drive without tests
// (manager_remote) install it too: the driver's failure then ends them with an exception.
void EndTestOnFatalFailureOrSkip();

// Makes this process see every window in the screen's own pixels. Windows since 8.1 and Wine 10
// show a process other processes' windows scaled to the DPI it runs at (96 when it declares
// nothing, or the system's at its start), so a driver that did not say so would read the
// program's places wrong once the DPI changed; per-monitor awareness reads them as they are.
// Where the call does not exist (Windows 9x, Wine 8 without it), windows are not scaled anyway.
void SeeWindowsInScreenPixels();

// The version of the Wine the test runs under (ntdll's wine_get_version); empty on Windows.
std::string WineVersion();
inline bool OnWine()
{
    return !WineVersion().empty();
}

// True where a known fault of an old Wine gives an answer Windows never gives: the Wine's major
// version is at most LAST, the last one the fault was seen in. An expectation written with it
// reads as that Wine's, like Wine's own todo_wine; on Windows, and on a Wine that mended it, the
// real answer is expected.
bool WineUpTo(int last);

}  // namespace lumora::winetest

// Answers that hold only because of how Wine behaves, marked as Wine's the way Wine's own tests
// mark theirs (todo_wine, broken()), so that on Windows the real answer is what passes:
//   EXPECT_TRUE(real || WINE_ONLY(wines))   Wine's answer passes under Wine only; the real one
//                                           everywhere, under a Wine that gives it too.
//   WINE_EXPECT_EQ(wines, actual)           Wine's exact figure, checked under Wine only, where
//                                           Windows documents no more than a bound the test
//                                           checks everywhere.
#define WINE_ONLY(condition) (::lumora::winetest::OnWine() && (condition))
#define WINE_EXPECT_EQ(wines, actual)    \
    if (!::lumora::winetest::OnWine()) { \
    } else                               \
        EXPECT_EQ(wines, actual) << "Wine's own answer, Wine " << ::lumora::winetest::WineVersion()

// A tiny test harness for the programs that run under Wine, where GoogleTest is not built.
//
// WINE_TEST(Name) { ... } registers a test. EXPECT_* record a failure and go on; REQUIRE_*
// end the test. SKIP("reason") ends it as skipped. Context(...) adds a line naming the
// table row or inputs to every failure reported while it lives. RunAll prints one line per
// test and closes with "N passed, N failed, N skipped".
#pragma once
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace lumora::winetest {

bool Register(const char* name, void (*body)());
int RunAll(int argc, char** argv, const char* suite);

void Fail(const char* file, int line, const std::string& what);
[[noreturn]] void Abort();
[[noreturn]] void Skip(const std::string& reason);

class Context {
public:
    explicit Context(std::string text);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
};

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
std::string Show(const std::vector<std::uint8_t>& bytes);
std::string Hex(const void* data, std::size_t size);

}  // namespace lumora::winetest

#define WINE_TEST(name)                                                              \
    static void name();                                                              \
    static const bool name##Registered = ::lumora::winetest::Register(#name, &name); \
    static void name()

#define LUMORA_CHECK_OP(a, op, b, onFail)                                                                      \
    do {                                                                                                       \
        const auto& lumoraA = (a);                                                                             \
        const auto& lumoraB = (b);                                                                             \
        if (!(lumoraA op lumoraB)) {                                                                           \
            ::lumora::winetest::Fail(__FILE__, __LINE__,                                                       \
                                     std::string(#a " " #op " " #b ": ") + ::lumora::winetest::Show(lumoraA) + \
                                         " vs " + ::lumora::winetest::Show(lumoraB));                          \
            onFail;                                                                                            \
        }                                                                                                      \
    } while (0)

#define EXPECT_EQ(a, b) LUMORA_CHECK_OP(a, ==, b, (void)0)
#define EXPECT_NE(a, b) LUMORA_CHECK_OP(a, !=, b, (void)0)
#define EXPECT_LE(a, b) LUMORA_CHECK_OP(a, <=, b, (void)0)
#define EXPECT_GT(a, b) LUMORA_CHECK_OP(a, >, b, (void)0)
#define REQUIRE_EQ(a, b) LUMORA_CHECK_OP(a, ==, b, ::lumora::winetest::Abort())
#define REQUIRE_NE(a, b) LUMORA_CHECK_OP(a, !=, b, ::lumora::winetest::Abort())
#define EXPECT_TRUE(c) LUMORA_CHECK_OP(static_cast<bool>(c), ==, true, (void)0)
#define EXPECT_FALSE(c) LUMORA_CHECK_OP(static_cast<bool>(c), ==, false, (void)0)
#define REQUIRE_TRUE(c) LUMORA_CHECK_OP(static_cast<bool>(c), ==, true, ::lumora::winetest::Abort())
#define SKIP(reason) ::lumora::winetest::Skip(reason)

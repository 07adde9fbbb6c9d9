// The Wine test harness: registration, failure bookkeeping and the run with its summary.
#include "Harness.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace lumora::winetest {
namespace {

struct Test {
    const char* name;
    void (*body)();
};

struct AbortTest {};
struct SkipTest {
    std::string reason;
};

std::vector<Test>& Tests()
{
    static std::vector<Test> tests;
    return tests;
}

std::vector<std::string>& Contexts()
{
    static std::vector<std::string> contexts;
    return contexts;
}

int g_failures = 0;

}  // namespace

bool Register(const char* name, void (*body)())
{
    Tests().push_back({name, body});
    return true;
}

void Fail(const char* file, int line, const std::string& what)
{
    ++g_failures;
    const char* base = std::strrchr(file, '/');
    std::printf("  %s:%d: %s\n", base != nullptr ? base + 1 : file, line, what.c_str());
    for (const auto& context : Contexts()) std::printf("    with %s\n", context.c_str());
    std::fflush(stdout);
}

void Abort()
{
    throw AbortTest{};
}

void Skip(const std::string& reason)
{
    throw SkipTest{reason};
}

Context::Context(std::string text)
{
    Contexts().push_back(std::move(text));
}

Context::~Context()
{
    Contexts().pop_back();
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

std::string Show(const std::vector<std::uint8_t>& bytes)
{
    return "bytes " + Hex(bytes.data(), bytes.size());
}

std::string Hex(const void* data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

// Arguments are test names (or prefixes) to run; none runs every test.
int RunAll(int argc, char** argv, const char* suite)
{
    int passed = 0;
    int failed = 0;
    int skipped = 0;
    for (const Test& test : Tests()) {
        bool wanted = argc <= 1;
        for (int i = 1; i < argc && !wanted; ++i) {
            wanted = std::strncmp(test.name, argv[i], std::strlen(argv[i])) == 0;
        }
        if (!wanted) continue;
        std::printf("[ RUN  ] %s\n", test.name);
        std::fflush(stdout);
        const int before = g_failures;
        std::string skipReason;
        bool skippedNow = false;
        try {
            test.body();
        } catch (const AbortTest&) {
        } catch (const SkipTest& skip) {
            skippedNow = true;
            skipReason = skip.reason;
        } catch (const std::exception& e) {
            Fail(__FILE__, __LINE__, std::string("unexpected exception: ") + e.what());
        } catch (...) {
            Fail(__FILE__, __LINE__, "unexpected exception");
        }
        Contexts().clear();
        if (g_failures != before) {
            ++failed;
            std::printf("[ FAIL ] %s\n", test.name);
        } else if (skippedNow) {
            ++skipped;
            std::printf("[ SKIP ] %s: %s\n", test.name, skipReason.c_str());
        } else {
            ++passed;
            std::printf("[   OK ] %s\n", test.name);
        }
        std::fflush(stdout);
    }
    std::printf("%s: %d passed, %d failed, %d skipped\n", suite, passed, failed, skipped);
    std::fflush(stdout);
    return failed == 0 && passed + skipped > 0 ? 0 : 1;
}

}  // namespace lumora::winetest

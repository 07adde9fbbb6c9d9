// What the program declares to Windows Vista and later, read from the built program as the
// loader reads it: the manifest resource, and in it nothing but the settings the program needs.
#include <windows.h>

#include <set>
#include <string>

#include "E2eDriver.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

// The manifest the loader takes for a program: resource 1 of type RT_MANIFEST.
std::string ProgramManifest()
{
    const HMODULE module = LoadLibraryExA(driver::ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return "";
    std::string text;
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    if (loaded != nullptr) {
        text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

// The names of the elements a manifest opens, each once.
std::set<std::string> ElementsOf(const std::string& text)
{
    std::set<std::string> names;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        const char first = at + 1 < text.size() ? text[at + 1] : '/';
        if (first == '/' || first == '?' || first == '!') continue;
        names.insert(text.substr(at + 1, text.find_first_of(" \t\r\n/>", at + 1) - at - 1));
    }
    return names;
}

TEST(ManifestE2e, ProgramAsksForNoElevationScalesItselfAndKeepsTheClassicControls)
{
    const std::string manifest = ProgramManifest();
    ASSERT_FALSE(manifest.empty()) << "no manifest resource in " << driver::ProgramPath();
    // Exactly these elements: a common-controls dependency, uiAccess, a newer DPI mode or an
    // OS compatibility list would each change what the program is on some Windows.
    const std::set<std::string> expected = {"assembly",
                                            "assemblyIdentity",
                                            "description",
                                            "trustInfo",
                                            "security",
                                            "requestedPrivileges",
                                            "requestedExecutionLevel",
                                            "application",
                                            "windowsSettings",
                                            "dpiAware"};
    EXPECT_EQ(ElementsOf(manifest), expected) << manifest;
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\"/>"), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("uiAccess"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
}

}  // namespace
}  // namespace lumora::winetest

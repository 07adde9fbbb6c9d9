// The INI adapter over the real profile port, against Wine's profile service and files.
#include <windows.h>

#include <functional>

#include "WineRegistry.h"
#include "WineTest.h"
#include "common/ErrorOf.h"
#include "core/Exception.h"
#include "settings/IniFile.h"
#include "win32/ports/Win32Ports.h"

namespace lumora::winetest {
namespace {

const char* const kScratchIni = "lumoratest.ini";

using testing::ErrorOf;

// A scratch INI file in the Windows directory, removed before and after the test.
class ScratchIni {
public:
    ScratchIni() : path_(WindowsDirectory() + "\\" + kScratchIni) { Remove(); }
    ~ScratchIni() { Remove(); }
    const std::string& path() const { return path_; }
    void Write(const std::string& text)
    {
        WriteFileText(path_, text);
        // The profile service keeps the file it read last; a write from outside must be seen.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kScratchIni);
    }

private:
    void Remove()
    {
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path_.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kScratchIni);
    }
    std::string path_;
};

TEST(IniAdapterWine, ReadGivesTheDefaultWhenFileSectionOrKeyIsMissing)
{
    ScratchIni ini;
    Win32Profile port;
    TIniFile file(port, kScratchIni);
    EXPECT_EQ(file.ReadString("vcache", "MinFileCache", "0"), std::string("0"));
    ini.Write("[vcache]\r\nMaxFileCache=8192\r\n");
    struct Row {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Row rows[] = {
        {"386Enh", "MaxFileCache", "0"},
        {"vcache", "MinFileCache", "0"},
        {"vcache", "MaxFileCache", "8192"},
        {"VCACHE", "maxfilecache", "8192"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.section) + "." + row.key);
        EXPECT_EQ(file.ReadString(row.section, row.key, "0"), std::string(row.expected));
    }
}

TEST(IniAdapterWine, ReadReturnsAtMost2047Characters)
{
    ScratchIni ini;
    std::string longValue;
    for (int i = 0; i < 3000; ++i) longValue += static_cast<char>('a' + i % 26);
    ini.Write("[vcache]\r\nLong=" + longValue + "\r\nExact=" + longValue.substr(0, 2047) + "\r\n");
    Win32Profile port;
    TIniFile file(port, kScratchIni);
    const std::string got = file.ReadString("vcache", "Long", "0");
    EXPECT_EQ(got.size(), std::size_t{2047});
    EXPECT_TRUE(got == longValue.substr(0, 2047));
    EXPECT_TRUE(file.ReadString("vcache", "Exact", "0") == longValue.substr(0, 2047));
}

TEST(IniAdapterWine, WriteReadAndDeleteReachTheFile)
{
    ScratchIni ini;
    Win32Profile port;
    TIniFile file(port, kScratchIni);
    file.WriteString("vcache", "MinFileCache", "2048");
    file.WriteString("vcache", "CHUNKSIZE", "512");
    EXPECT_EQ(file.ReadString("vcache", "MinFileCache", "0"), std::string("2048"));
    const std::string text = ReadFileText(ini.path());
    EXPECT_NE(text.find("[vcache]"), std::string::npos);
    EXPECT_NE(text.find("MinFileCache=2048"), std::string::npos);
    EXPECT_NE(text.find("CHUNKSIZE=512"), std::string::npos);
    file.DeleteKey("vcache", "MinFileCache");
    EXPECT_EQ(file.ReadString("vcache", "MinFileCache", "0"), std::string("0"));
    EXPECT_EQ(ReadFileText(ini.path()).find("MinFileCache"), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { file.DeleteKey("vcache", "NeverThere"); }), std::string("<no error>"));
    file.WriteString("vcache", "Empty", "");
    EXPECT_EQ(file.ReadString("vcache", "Empty", "0"), std::string());
}

TEST(IniAdapterWine, UpdateFileKeepsTheWritesAndCreatesNoFile)
{
    ScratchIni ini;
    Win32Profile port;
    TIniFile file(port, kScratchIni);
    file.UpdateFile();
    EXPECT_EQ(GetFileAttributesA(ini.path().c_str()), INVALID_FILE_ATTRIBUTES);
    file.WriteString("vcache", "MinFileCache", "2048");
    file.DeleteKey("vcache", "NeverThere");
    file.UpdateFile();
    EXPECT_NE(ReadFileText(ini.path()).find("MinFileCache=2048"), std::string::npos);
    EXPECT_EQ(file.ReadString("vcache", "MinFileCache", "0"), std::string("2048"));
    // The file stays usable after a flush.
    file.WriteString("vcache", "MaxFileCache", "8192");
    file.UpdateFile();
    file.UpdateFile();
    const std::string text = ReadFileText(ini.path());
    EXPECT_NE(text.find("MinFileCache=2048"), std::string::npos);
    EXPECT_NE(text.find("MaxFileCache=8192"), std::string::npos);
}

TEST(IniAdapterWine, RefusedWriteRaisesUnableToWrite)
{
    ScratchIni ini;
    ini.Write("[386Enh]\r\nPageBuffers=16\r\n");
    Win32Profile port;
    TIniFile file(port, kScratchIni);
    // Another program holding the file open without sharing is the refusal that Windows and
    // Wine both give; Wine running as root writes through a read-only attribute.
    const HANDLE holder = CreateFileA(ini.path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_TRUE(holder != INVALID_HANDLE_VALUE);
    const std::string error = ErrorOf([&] { file.WriteString("386Enh", "PageBuffers", "32"); });
    CloseHandle(holder);
    EXPECT_EQ(error, std::string("Unable to write to lumoratest.ini"));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kScratchIni);
    EXPECT_NE(ReadFileText(ini.path()).find("PageBuffers=16"), std::string::npos);
}

TEST(IniAdapterWine, ReadOnlyFileRefusesWrites)
{
    ScratchIni ini;
    ini.Write("[386Enh]\r\nPageBuffers=16\r\n");
    SetFileAttributesA(ini.path().c_str(), FILE_ATTRIBUTE_READONLY);
    Win32Profile port;
    TIniFile file(port, kScratchIni);
    const std::string error = ErrorOf([&] { file.WriteString("386Enh", "PageBuffers", "32"); });
    SetFileAttributesA(ini.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    if (error == "<no error>" && ReadFileText(ini.path()).find("PageBuffers=32") != std::string::npos) {
        GTEST_SKIP() << "Wine wrote through the read-only attribute (the process runs as root)";
    }
    EXPECT_EQ(error, std::string("Unable to write to lumoratest.ini"));
}

TEST(IniAdapterWine, SystemIniIsTheFileInTheWindowsDirectory)
{
    const std::string path = WindowsDirectory() + "\\system.ini";
    const std::string before = ReadFileText(path);
    if (before.find("[386Enh]") == std::string::npos)
        GTEST_SKIP() << "the prefix was not prepared with a [386Enh] section";
    Win32Profile port;
    TIniFile file(port, kSystemIni);
    EXPECT_EQ(file.ReadString("386Enh", "woafont", "0"), std::string("dosapp.fon"));
    file.WriteString("vcache", "MinFileCache", "2048");
    EXPECT_EQ(file.ReadString("vcache", "MinFileCache", "0"), std::string("2048"));
    EXPECT_NE(ReadFileText(path).find("MinFileCache=2048"), std::string::npos);
    file.DeleteKey("vcache", "MinFileCache");
    EXPECT_EQ(ReadFileText(path).find("MinFileCache"), std::string::npos);
    EXPECT_EQ(file.ReadString("vcache", "MinFileCache", "0"), std::string("0"));
}

}  // namespace
}  // namespace lumora::winetest

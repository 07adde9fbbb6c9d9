// Raw registry and file helpers for the Wine tests: plant and inspect what the ports see,
// without going through them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumora::winetest {

using Bytes = std::vector<std::uint8_t>;

// The names of the keys right below path; none when it cannot be opened.
std::vector<std::string> SubKeys(HKEY root, const std::string& path);

// Deletes path below root with every sub-key; a missing key is no failure.
void DeleteTree(HKEY root, const std::string& path);

// A key created fresh under HKEY_CURRENT_USER for one test and removed with all it holds.
class ScratchKey {
public:
    explicit ScratchKey(const std::string& path = "Software\\LumoraAdapterTest");
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY handle() const { return key_; }
    const std::string& path() const { return path_; }
    void Put(const std::string& name, DWORD type, const Bytes& data);
    void PutString(const std::string& name, const std::string& text, DWORD type = REG_SZ);

private:
    std::string path_;
    HKEY key_ = nullptr;
};

struct RawValue {
    LONG rc = 0;
    DWORD type = 0;
    Bytes data;
};

// One RegQueryValueExA into a buffer of ample size, poisoned with 0xbd; type starts as
// 0xdeadbeef. data holds exactly the reported bytes on success.
RawValue QueryRaw(HKEY key, const std::string& name);
RawValue QueryRaw(HKEY root, const std::string& path, const std::string& name);

Bytes Le32(std::uint32_t value);
Bytes DoubleBytes(double value);
Bytes StringBytes(const std::string& text);
// Lower-case hexadecimal digits of size bytes, two per byte.
std::string Hex(const void* data, std::size_t size);
// A stored value as the tests compare them: its type and its bytes, "4:01000000" for the DWORD 1.
std::string ValueText(DWORD type, const Bytes& data);
// A value as it was read: its text, or "missing" when the read failed.
std::string ValueText(const RawValue& value);

std::string WindowsDirectory();
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);

}  // namespace lumora::winetest

// Raw registry and file helpers for the Wine tests.
#include "WineRegistry.h"

#include <cstdio>
#include <cstring>

namespace lumora::winetest {

std::vector<std::string> SubKeys(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    RegCloseKey(key);
    return names;
}

void DeleteTree(HKEY root, const std::string& path)
{
    for (const auto& child : SubKeys(root, path)) DeleteTree(root, path + "\\" + child);
    RegDeleteKeyA(root, path.c_str());
}

ScratchKey::ScratchKey(const std::string& path) : path_(path)
{
    DeleteTree(HKEY_CURRENT_USER, path_);
    DWORD disposition = 0;
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    &key_, &disposition);
}

ScratchKey::~ScratchKey()
{
    if (key_ != nullptr) RegCloseKey(key_);
    DeleteTree(HKEY_CURRENT_USER, path_);
}

void ScratchKey::Put(const std::string& name, DWORD type, const Bytes& data)
{
    static const BYTE nothing = 0;
    RegSetValueExA(key_, name.c_str(), 0, type, data.empty() ? &nothing : data.data(), static_cast<DWORD>(data.size()));
}

void ScratchKey::PutString(const std::string& name, const std::string& text, DWORD type)
{
    Put(name, type, StringBytes(text));
}

RawValue QueryRaw(HKEY key, const std::string& name)
{
    RawValue out;
    out.type = 0xdeadbeef;
    std::vector<std::uint8_t> buffer(4096, 0xbd);
    DWORD size = static_cast<DWORD>(buffer.size());
    out.rc = RegQueryValueExA(key, name.c_str(), nullptr, &out.type, buffer.data(), &size);
    if (out.rc == ERROR_SUCCESS) out.data.assign(buffer.begin(), buffer.begin() + size);
    return out;
}

RawValue QueryRaw(HKEY root, const std::string& path, const std::string& name)
{
    HKEY key = nullptr;
    RawValue out;
    out.rc = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
    if (out.rc != ERROR_SUCCESS) return out;
    out = QueryRaw(key, name);
    RegCloseKey(key);
    return out;
}

Bytes Le32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

Bytes DoubleBytes(double value)
{
    Bytes out(8);
    std::memcpy(out.data(), &value, 8);
    return out;
}

Bytes StringBytes(const std::string& text)
{
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

std::string WindowsDirectory()
{
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
        std::fclose(f);
    }
    return text;
}

void WriteFileText(const std::string& path, const std::string& text)
{
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
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

std::string ValueText(DWORD type, const Bytes& data)
{
    return std::to_string(type) + ":" + Hex(data.data(), data.size());
}

std::string ValueText(const RawValue& value)
{
    return value.rc == ERROR_SUCCESS ? ValueText(value.type, value.data) : "missing";
}

}  // namespace lumora::winetest

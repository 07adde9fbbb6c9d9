// The registry adapter's type rules and error messages.
#include "settings/Registry.h"

#include <cstring>
#include <vector>

#include "core/Exception.h"
#include "core/LittleEndian.h"

namespace lumora {

const char* const kInvalidDataType = "Invalid data type for '%s'";
const char* const kFailedToGetData = "Failed to get data for '%s'";
const char* const kFailedToSetData = "Failed to set data for '%s'";

TRegistry::TRegistry(RegistryPort& port) : port_(port)
{
}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(RegRoot root)
{
    answer_.held = false;
    CloseKey();
    root_ = root;
}

RegKey TRegistry::CurrentKey()
{
    return key_ != 0 ? key_ : port_.rootKey(root_);
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate)
{
    answer_.held = false;
    const RegKey opened = port_.openKey(CurrentKey(), path, canCreate);
    if (opened == 0) return false;
    CloseKey();
    key_ = opened;
    return true;
}

bool TRegistry::OpenKeyToChange(const std::string& path)
{
    answer_.held = false;
    const RegKey opened = port_.openKeyWith(CurrentKey(), path, RegAccess::All);
    if (opened == 0) return false;
    CloseKey();
    key_ = opened;
    return true;
}

void TRegistry::CloseKey()
{
    answer_.held = false;
    if (key_ != 0) port_.closeKey(key_);
    key_ = 0;
}

bool TRegistry::Query(const std::string& name, std::uint32_t& type, std::vector<std::uint8_t>& data)
{
    const RegKey key = CurrentKey();
    RegQuery result;
    if (answer_.held && answer_.key == key && answer_.name == name) {
        answer_.held = false;
        result = answer_.result;
        type = answer_.type;
        data.swap(answer_.data);
    } else {
        answer_.held = false;
        result = port_.queryValue(key, name, type, data);
    }
    switch (result) {
    case RegQuery::Ok: return true;
    case RegQuery::Missing: return false;
    case RegQuery::Failed: break;
    }
    throw ReadFailure(Format(kFailedToGetData, name));
}

bool TRegistry::ValueExists(const std::string& name)
{
    answer_.key = CurrentKey();
    answer_.name = name;
    answer_.type = 0;
    answer_.data.clear();
    answer_.result = port_.queryValue(answer_.key, name, answer_.type, answer_.data);
    answer_.held = true;
    return answer_.result != RegQuery::Missing;
}

std::int32_t TRegistry::ReadInteger(const std::string& name)
{
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!Query(name, type, data) || type != kRegDword || data.size() != 4) {
        throw Exception(Format(kInvalidDataType, name));
    }
    return static_cast<std::int32_t>(ReadLittleEndian32(data.data()));
}

double TRegistry::ReadFloat(const std::string& name)
{
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!Query(name, type, data) || type != kRegBinary || data.size() != 8) {
        throw Exception(Format(kInvalidDataType, name));
    }
    const std::uint64_t bits = ReadLittleEndian64(data.data());
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string TRegistry::ReadString(const std::string& name)
{
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!Query(name, type, data)) return std::string();
    if (type != kRegSz && type != kRegExpandSz) throw Exception(Format(kInvalidDataType, name));
    // The text ends at the first NUL, or with the data when the terminator is missing.
    std::size_t length = 0;
    while (length < data.size() && data[length] != 0) ++length;
    return std::string(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
}

std::size_t TRegistry::ReadBinaryData(const std::string& name, void* buffer, std::size_t size)
{
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!Query(name, type, data)) return 0;
    if ((type != kRegBinary && type != kRegNone) || data.size() > size) {
        throw Exception(Format(kInvalidDataType, name));
    }
    if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
    return data.size();
}

void TRegistry::Write(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::size_t size)
{
    answer_.held = false;
    // Values are never written into a root key itself: with no key open the write fails,
    // which is what stops a save at a key that does not exist.
    if (key_ == 0 || !port_.setValue(key_, name, type, data, size)) {
        throw Exception(Format(kFailedToSetData, name));
    }
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value)
{
    std::uint8_t bytes[4];
    WriteLittleEndian32(static_cast<std::uint32_t>(value), bytes);
    Write(name, kRegDword, bytes, sizeof bytes);
}

void TRegistry::WriteFloat(const std::string& name, double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::uint8_t bytes[8];
    WriteLittleEndian64(bits, bytes);
    Write(name, kRegBinary, bytes, sizeof bytes);
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    std::vector<std::uint8_t> bytes(value.begin(), value.end());
    bytes.push_back(0);
    Write(name, kRegSz, bytes.data(), bytes.size());
}

void TRegistry::WriteBinaryData(const std::string& name, const void* data, std::size_t size)
{
    Write(name, kRegBinary, static_cast<const std::uint8_t*>(data), size);
}

void TRegistry::DeleteValue(const std::string& name)
{
    answer_.held = false;
    if (key_ != 0) port_.deleteValue(key_, name);
}

}  // namespace lumora

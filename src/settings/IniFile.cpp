// The INI adapter's reads, writes and its one error.
#include "settings/IniFile.h"

#include "core/Exception.h"

namespace lumora {

const char* const kSystemIni = "SYSTEM.INI";

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def)
{
    std::string value = port_.readString(fileName_, section, key, def, kMaxRead);
    if (value.size() > kMaxRead) value.resize(kMaxRead);
    return value;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    if (!port_.writeString(fileName_, section, key, value)) {
        throw Exception(Format("Unable to write to %s", fileName_));
    }
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    port_.deleteKey(fileName_, section, key);
}

void TIniFile::UpdateFile()
{
    port_.flush(fileName_);
}

}  // namespace lumora

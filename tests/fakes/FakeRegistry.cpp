// In-memory registry for the native tests.
#include "fakes/FakeRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>

#include "core/LittleEndian.h"

namespace lumora::fakes {

namespace {
const char* const kRootNames[3] = {"HKCU", "HKLM", "HKDD"};
constexpr RegKey kRootHandle = 1;  // roots are 1, 2, 3

std::vector<std::string> Split(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}
}  // namespace

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::uint8_t> Le32(std::uint32_t value)
{
    std::vector<std::uint8_t> bytes(4);
    WriteLittleEndian32(value, bytes.data());
    return bytes;
}

FakeRegistry::FakeRegistry()
{
    for (int i = 0; i < 3; ++i) {
        roots_[i] = std::make_unique<Node>();
        roots_[i]->name = kRootNames[i];
    }
}

RegKey FakeRegistry::rootKey(RegRoot root)
{
    return kRootHandle + static_cast<RegKey>(root);
}

FakeRegistry::Node* FakeRegistry::NodeOf(RegKey key) const
{
    if (key >= kRootHandle && key < kRootHandle + 3) return roots_[key - kRootHandle].get();
    const auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : it->second;
}

std::string FakeRegistry::PathOf(const Node* node) const
{
    std::string path;
    for (; node; node = node->parent) path = path.empty() ? node->name : node->name + "\\" + path;
    return path;
}

RegKey FakeRegistry::openKey(RegKey parent, const std::string& path, bool create)
{
    Node* node = NodeOf(parent);
    if (!node) return 0;
    for (const auto& part : Split(path)) {
        const std::string full = Lower(PathOf(node) + "\\" + part);
        if (refuseOpen.count(full)) return 0;
        auto it = node->keys.find(Lower(part));
        if (it == node->keys.end()) {
            if (!create) return 0;
            auto child = std::make_unique<Node>();
            child->name = part;
            child->parent = node;
            it = node->keys.emplace(Lower(part), std::move(child)).first;
            log.push_back("create " + PathOf(it->second.get()));
        }
        node = it->second.get();
    }
    const RegKey handle = next_++;
    handles_[handle] = node;
    return handle;
}

RegKey FakeRegistry::openKeyWith(RegKey parent, const std::string& path, RegAccess access)
{
    const Node* node = NodeOf(parent);
    fixedCalls.push_back("open " + (node ? PathOf(node) : std::string("?")) + "\\" + path +
                         (access == RegAccess::All ? " all" : " read"));
    const RegKey key = openKey(parent, path, false);
    if (key != 0 && access == RegAccess::All && readOnly.count(Lower(PathOf(NodeOf(key))))) {
        handles_.erase(key);
        return 0;
    }
    if (key != 0) fixedHandles_.insert(key);
    return key;
}

void FakeRegistry::closeKey(RegKey key)
{
    if (fixedHandles_.erase(key) != 0) fixedCalls.push_back("close " + PathOf(NodeOf(key)));
    handles_.erase(key);
}

FakeValue* FakeRegistry::FindIn(Node* node, const std::string& name) const
{
    for (auto& value : node->values) {
        if (Lower(value.name) == Lower(name)) return &value;
    }
    return nullptr;
}

RegQuery FakeRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                  std::vector<std::uint8_t>& data)
{
    ++queryCalls;
    Node* node = NodeOf(key);
    if (!node) return RegQuery::Failed;
    const FakeValue* value = FindIn(node, name);
    if (!value) return RegQuery::Missing;
    if (refuseQuery.count(Lower(PathOf(node) + "\\" + name))) return RegQuery::Failed;
    type = value->type;
    data = value->data;
    return RegQuery::Ok;
}

void FakeRegistry::queryFourBytes(RegKey key, const std::string& name, std::uint8_t (&value)[4])
{
    Node* node = NodeOf(key);
    fixedCalls.push_back("query " + (node ? PathOf(node) : std::string("?")) + " " + name);
    if (!node || refuseQuery.count(Lower(PathOf(node) + "\\" + name))) return;
    const FakeValue* found = FindIn(node, name);
    if (found && !found->data.empty() && found->data.size() <= sizeof value) {
        std::memcpy(value, found->data.data(), found->data.size());
    }
}

bool FakeRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                            std::size_t size)
{
    Node* node = NodeOf(key);
    if (!node) return false;
    const std::string full = PathOf(node) + "\\" + name;
    const int number = setCalls++;
    if (attempts) attempts->push_back("reg " + full);
    if (number == refuseSetNumber || refuseSet.count(Lower(full)) || readOnly.count(Lower(PathOf(node)))) return false;
    FakeValue* value = FindIn(node, name);
    if (!value) {
        node->values.push_back(FakeValue{name, 0, {}});
        value = &node->values.back();
    }
    value->type = type;
    value->data.assign(data, data + size);
    log.push_back("set " + full);
    return true;
}

bool FakeRegistry::deleteValue(RegKey key, const std::string& name)
{
    Node* node = NodeOf(key);
    if (!node || readOnly.count(Lower(PathOf(node)))) return false;
    auto& values = node->values;
    const auto it =
        std::find_if(values.begin(), values.end(), [&](const FakeValue& v) { return Lower(v.name) == Lower(name); });
    if (it == values.end()) return false;
    values.erase(it);
    log.push_back("delete " + PathOf(node) + "\\" + name);
    return true;
}

FakeRegistry::Node* FakeRegistry::Resolve(const std::string& keyPath, bool create) const
{
    const auto parts = Split(keyPath);
    if (parts.empty()) return nullptr;
    Node* node = nullptr;
    for (int i = 0; i < 3; ++i) {
        if (Lower(parts[0]) == Lower(kRootNames[i])) node = roots_[i].get();
    }
    if (!node) return nullptr;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        auto it = node->keys.find(Lower(parts[i]));
        if (it == node->keys.end()) {
            if (!create) return nullptr;
            auto child = std::make_unique<Node>();
            child->name = parts[i];
            child->parent = node;
            it = node->keys.emplace(Lower(parts[i]), std::move(child)).first;
        }
        node = it->second.get();
    }
    return node;
}

void FakeRegistry::Put(const std::string& keyPath, const std::string& name, std::uint32_t type,
                       std::vector<std::uint8_t> data)
{
    Node* node = Resolve(keyPath, true);
    FakeValue* value = FindIn(node, name);
    if (!value) {
        node->values.push_back(FakeValue{name, type, std::move(data)});
    } else {
        value->type = type;
        value->data = std::move(data);
    }
}

void FakeRegistry::PutDword(const std::string& keyPath, const std::string& name, std::uint32_t value)
{
    Put(keyPath, name, kRegDword, Le32(value));
}

void FakeRegistry::PutString(const std::string& keyPath, const std::string& name, const std::string& value)
{
    std::vector<std::uint8_t> data(value.begin(), value.end());
    data.push_back(0);
    Put(keyPath, name, kRegSz, std::move(data));
}

void FakeRegistry::PutDouble(const std::string& keyPath, const std::string& name, double value)
{
    std::vector<std::uint8_t> data(8);
    std::memcpy(data.data(), &value, 8);
    Put(keyPath, name, kRegBinary, std::move(data));
}

void FakeRegistry::CreateKey(const std::string& keyPath)
{
    Resolve(keyPath, true);
}

void FakeRegistry::RemoveKey(const std::string& keyPath)
{
    Node* node = Resolve(keyPath, false);
    if (node && node->parent) node->parent->keys.erase(Lower(node->name));
}

bool FakeRegistry::KeyExists(const std::string& keyPath) const
{
    return Resolve(keyPath, false) != nullptr;
}

const FakeValue* FakeRegistry::Find(const std::string& keyPath, const std::string& name) const
{
    Node* node = Resolve(keyPath, false);
    return node ? FindIn(node, name) : nullptr;
}

std::uint32_t FakeRegistry::Dword(const std::string& keyPath, const std::string& name) const
{
    const FakeValue* v = Find(keyPath, name);
    if (!v || v->type != kRegDword || v->data.size() != 4) return 0xDEADBEEF;
    std::uint32_t value = 0;
    std::memcpy(&value, v->data.data(), 4);
    return value;
}

std::string FakeRegistry::String(const std::string& keyPath, const std::string& name) const
{
    const FakeValue* v = Find(keyPath, name);
    if (!v || (v->type != kRegSz && v->type != kRegExpandSz)) return "<not a string>";
    std::string text(v->data.begin(), v->data.end());
    const auto nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

double FakeRegistry::Double(const std::string& keyPath, const std::string& name) const
{
    const FakeValue* v = Find(keyPath, name);
    if (!v || v->type != kRegBinary || v->data.size() != 8) return -12345.0;
    double value = 0;
    std::memcpy(&value, v->data.data(), 8);
    return value;
}

void FakeRegistry::DumpNode(const Node* node, const std::string& path, std::string& out) const
{
    out += path + "\n";
    for (const auto& v : node->values) {
        std::ostringstream line;
        line << path << "\\" << v.name << " type " << v.type << " :";
        for (auto b : v.data) line << ' ' << std::hex << static_cast<int>(b);
        out += line.str() + "\n";
    }
    for (const auto& [key, child] : node->keys) DumpNode(child.get(), path + "\\" + child->name, out);
}

std::string FakeRegistry::Dump() const
{
    std::string out;
    for (const auto& root : roots_) DumpNode(root.get(), root->name, out);
    return out;
}

}  // namespace lumora::fakes

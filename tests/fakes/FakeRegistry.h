// In-memory registry: case-blind names, a log of writes, and refusal of any single call.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ports/Registry.h"

namespace lumora::fakes {

struct FakeValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

class FakeRegistry : public RegistryPort {
public:
    FakeRegistry();

    RegKey rootKey(RegRoot root) override;
    RegKey openKey(RegKey parent, const std::string& path, bool create) override;
    RegKey openKeyWith(RegKey parent, const std::string& path, RegAccess access) override;
    void closeKey(RegKey key) override;
    RegQuery queryValue(RegKey key, const std::string& name, std::uint32_t& type,
                        std::vector<std::uint8_t>& data) override;
    // Copies a value of 4 bytes or fewer; a longer, missing or refused one leaves value alone.
    void queryFourBytes(RegKey key, const std::string& name, std::uint8_t (&value)[4]) override;
    bool setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::size_t size) override;
    bool deleteValue(RegKey key, const std::string& name) override;

    // --- Test set-up and inspection; paths are "HKCU\Software\Lumora" style, case-blind.
    void Put(const std::string& keyPath, const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data);
    void PutDword(const std::string& keyPath, const std::string& name, std::uint32_t value);
    void PutString(const std::string& keyPath, const std::string& name, const std::string& value);
    void PutDouble(const std::string& keyPath, const std::string& name, double value);
    void CreateKey(const std::string& keyPath);
    // Removes the key with its values and sub-keys; no handle may be open on it.
    void RemoveKey(const std::string& keyPath);
    bool KeyExists(const std::string& keyPath) const;
    const FakeValue* Find(const std::string& keyPath, const std::string& name) const;
    bool Has(const std::string& keyPath, const std::string& name) const { return Find(keyPath, name) != nullptr; }
    std::uint32_t Dword(const std::string& keyPath, const std::string& name) const;
    std::string String(const std::string& keyPath, const std::string& name) const;
    double Double(const std::string& keyPath, const std::string& name) const;
    // Every key and value, one line each, for comparing whole trees.
    std::string Dump() const;

    // Every write and delete as "set <key>\<name>" or "delete <key>\<name>", in order.
    std::vector<std::string> log;
    // Refuse the write with this 0-based number among setValue calls (-1: none).
    int refuseSetNumber = -1;
    // Refuse every write to these full value paths ("<key>\<name>", lower case).
    std::set<std::string> refuseSet;
    // Opens and creates of these key paths fail (lower case).
    std::set<std::string> refuseOpen;
    // Reads of these value paths fail (lower case).
    std::set<std::string> refuseQuery;
    // Keys a limited account may read but not change (lower case): openKeyWith asking for all
    // rights is refused, openKey settles for reading as the real port does, and every write or
    // delete in them fails.
    std::set<std::string> readOnly;
    int setCalls = 0;
    int queryCalls = 0;  // queryValue calls
    // Every openKeyWith and queryFourBytes call and every close of a key openKeyWith opened, in
    // order: "open <key> all|read", "query <key> <name>", "close <key>".
    std::vector<std::string> fixedCalls;
    // When set, every write attempt (refused or not) is appended as "reg <key>\<name>".
    std::vector<std::string>* attempts = nullptr;
    int openHandles() const { return static_cast<int>(handles_.size()); }

private:
    struct Node {
        std::string name;
        std::map<std::string, std::unique_ptr<Node>> keys;  // by lower-case name
        std::vector<FakeValue> values;
        Node* parent = nullptr;
    };
    Node* Resolve(const std::string& keyPath, bool create) const;
    std::string PathOf(const Node* node) const;
    FakeValue* FindIn(Node* node, const std::string& name) const;
    Node* NodeOf(RegKey key) const;
    void DumpNode(const Node* node, const std::string& path, std::string& out) const;

    std::unique_ptr<Node> roots_[3];
    std::map<RegKey, Node*> handles_;
    std::set<RegKey> fixedHandles_;  // opened by openKeyWith
    RegKey next_ = 100;
};

std::string Lower(std::string text);
// value as the platform stores a 4-byte number: least significant byte first.
std::vector<std::uint8_t> Le32(std::uint32_t value);

}  // namespace lumora::fakes

// A registry hive in memory: keys in the order they were made, values with their
// types and bytes, names compared without regard to case as Windows does.
#pragma once

#include "LabText.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lab {

struct RegValue {
    std::string name;
    uint32_t type = 0;
    std::string data; // the value's bytes, as RegQueryValueExA returns them
};

class RegKey {
public:
    RegKey(std::string name, RegKey* parent) : name_(std::move(name)), parent_(parent) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    const std::string& Name() const { return name_; }
    RegKey* Parent() const { return parent_; }
    bool Deleted() const { return deleted_; }

    const std::vector<RegKey*>& Children() const { return children_; }
    RegKey* FindChild(std::string_view name) const;

    const std::vector<RegValue>& Values() const { return values_; }
    const RegValue* FindValue(std::string_view name) const;
    void SetValue(std::string_view name, uint32_t type, std::string data);
    bool DeleteValue(std::string_view name);

    // The path below the hive's root, components joined by "\".
    std::string Path() const;

private:
    friend class RegHive;
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
    };
    using Index = std::unordered_map<std::string_view, RegKey*, FoldedHash, FoldedEqual>;

    void Attach(RegKey* child);
    void Detach(RegKey* child);

    std::string name_;
    RegKey* parent_;
    bool deleted_ = false;
    std::vector<RegKey*> children_;
    std::unique_ptr<Index> index_; // only for keys with many children
    std::vector<RegValue> values_;
};

class RegHive {
public:
    // `rootName` is the predefined key the hive stands for, such as HKEY_LOCAL_MACHINE.
    explicit RegHive(std::string rootName);
    RegHive(const RegHive&) = delete;
    RegHive& operator=(const RegHive&) = delete;

    const std::string& RootName() const { return root_->Name(); }
    RegKey* Root() { return root_; }
    const RegKey* Root() const { return root_; }
    std::size_t KeyCount() const { return keys_.size(); }

    RegKey* AddChild(RegKey* parent, std::string_view name);
    // Finds or creates every component of `path` ("A\B\C") below `from`.
    RegKey* CreatePath(RegKey* from, std::string_view path);
    static RegKey* FindPath(RegKey* from, std::string_view path);
    // Unlinks a key without subkeys; open handles to it see it as deleted.
    void Remove(RegKey* key);

private:
    std::deque<RegKey> keys_; // stable addresses for the keys and their names
    RegKey* root_;
};

} // namespace lab

#include "RegHive.h"

#include <algorithm>

namespace lab {

namespace {
constexpr std::size_t kIndexThreshold = 16;
}

RegKey* RegKey::FindChild(std::string_view name) const {
    if (index_) {
        auto it = index_->find(name);
        return it == index_->end() ? nullptr : it->second;
    }
    for (RegKey* child : children_) {
        if (EqualsNoCase(child->name_, name)) {
            return child;
        }
    }
    return nullptr;
}

const RegValue* RegKey::FindValue(std::string_view name) const {
    for (const RegValue& value : values_) {
        if (EqualsNoCase(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void RegKey::SetValue(std::string_view name, uint32_t type, std::string data) {
    for (RegValue& value : values_) {
        if (EqualsNoCase(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    values_.push_back(RegValue{std::string(name), type, std::move(data)});
}

bool RegKey::DeleteValue(std::string_view name) {
    auto it = std::find_if(values_.begin(), values_.end(),
                           [&](const RegValue& v) { return EqualsNoCase(v.name, name); });
    if (it == values_.end()) {
        return false;
    }
    values_.erase(it);
    return true;
}

std::string RegKey::Path() const {
    std::vector<const RegKey*> chain;
    for (const RegKey* k = this; k->parent_ != nullptr; k = k->parent_) {
        chain.push_back(k);
    }
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) {
            path += '\\';
        }
        path += (*it)->name_;
    }
    return path;
}

void RegKey::Attach(RegKey* child) {
    children_.push_back(child);
    if (index_) {
        index_->emplace(child->name_, child);
    } else if (children_.size() > kIndexThreshold) {
        index_ = std::make_unique<Index>();
        index_->reserve(children_.size() * 2);
        for (RegKey* c : children_) {
            index_->emplace(c->name_, c);
        }
    }
}

void RegKey::Detach(RegKey* child) {
    children_.erase(std::find(children_.begin(), children_.end(), child));
    if (index_) {
        index_->erase(child->name_);
    }
}

RegHive::RegHive(std::string rootName) : root_(&keys_.emplace_back(std::move(rootName), nullptr)) {}

RegKey* RegHive::AddChild(RegKey* parent, std::string_view name) {
    RegKey* child = &keys_.emplace_back(std::string(name), parent);
    parent->Attach(child);
    return child;
}

RegKey* RegHive::CreatePath(RegKey* from, std::string_view path) {
    RegKey* key = from;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        std::string_view part = path.substr(start, end - start);
        if (!part.empty()) {
            RegKey* child = key->FindChild(part);
            key = child != nullptr ? child : AddChild(key, part);
        }
        start = end + 1;
    }
    return key;
}

RegKey* RegHive::FindPath(RegKey* from, std::string_view path) {
    RegKey* key = from;
    std::size_t start = 0;
    while (key != nullptr && start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        std::string_view part = path.substr(start, end - start);
        if (!part.empty()) {
            key = key->FindChild(part);
        }
        start = end + 1;
    }
    return key;
}

void RegHive::Remove(RegKey* key) {
    if (key->parent_ != nullptr) {
        key->parent_->Detach(key);
    }
    key->deleted_ = true;
}

} // namespace lab

#include "support/memory_system.h"

#include <algorithm>

#include "base/text.h"

namespace lumaforge::test {
namespace {
std::string ParentKey(const std::string& key) {
    const size_t slash = key.find_last_of('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

std::string LastPart(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

std::string MemoryFiles::Key(std::string path) {
    while (path.size() > 1 && path.back() == '\\')
        path.pop_back();
    return AsciiLower(path);
}

bool MemoryFiles::ParentExists(const std::string& key) const {
    const std::string parent = ParentKey(key);
    if (parent.find('\\') == std::string::npos)
        return true;  // a drive
    const auto found = entries_.find(parent);
    return found != entries_.end() && found->second.folder;
}

bool MemoryFiles::FileExists(const std::string& path) const {
    const auto found = entries_.find(Key(path));
    return found != entries_.end() && !found->second.folder;
}

bool MemoryFiles::FolderExists(const std::string& path) const {
    const std::string key = Key(path);
    if (key.find('\\') == std::string::npos)
        return true;
    const auto found = entries_.find(key);
    return found != entries_.end() && found->second.folder;
}

std::optional<std::string> MemoryFiles::ReadFile(const std::string& path) const {
    const auto found = entries_.find(Key(path));
    if (found == entries_.end() || found->second.folder)
        return std::nullopt;
    return found->second.bytes;
}

std::vector<std::string> MemoryFiles::List(const std::string& folder) const {
    const std::string prefix = Key(folder) + "\\";
    std::vector<std::string> names;
    for (auto it = entries_.lower_bound(prefix); it != entries_.end() && it->first.starts_with(prefix); ++it) {
        if (it->first.find('\\', prefix.size()) == std::string::npos)
            names.push_back(LastPart(it->second.path));
    }
    return names;
}

void MemoryFiles::WriteFileDurably(const std::string& path, std::string_view bytes) {
    crash_.Step();
    const std::string key = Key(path);
    if (!ParentExists(key) || FolderExists(path))
        throw std::runtime_error("Cannot write the file \"" + path + "\"");
    entries_[key] = {path, false, std::string(bytes), ++clock_};
}

void MemoryFiles::AppendToFile(const std::string& path, std::string_view bytes, bool flush) {
    if (crash_.Crashed())
        throw InjectedCrash();
    const std::string key = Key(path);
    if (!ParentExists(key) || FolderExists(path))
        throw std::runtime_error("Cannot write the file \"" + path + "\"");
    // The file is made before its bytes arrive: a crash can leave it empty.
    auto entry = entries_.try_emplace(key, Entry{path, false, {}}).first;
    Entry& file = entry->second;
    if (!flush && file.flushed == std::string::npos)
        file.flushed = file.bytes.size();
    try {
        crash_.Step();
    } catch (const InjectedCrash&) {
        if (crash_.TearsWrites())
            file.bytes += bytes.substr(0, bytes.size() / 2);
        throw;
    }
    file.bytes += bytes;
    if (flush)
        file.flushed = std::string::npos;
    file.written = ++clock_;
}

void MemoryFiles::LoseUnflushedBytes() {
    for (auto& [key, entry] : entries_) {
        if (entry.flushed != std::string::npos)
            entry.bytes.resize(entry.flushed);
        entry.flushed = std::string::npos;
    }
}

void MemoryFiles::CreateFolder(const std::string& path) {
    crash_.Step();
    const std::string key = Key(path);
    if (!ParentExists(key) || FileExists(path))
        throw std::runtime_error("Cannot create the folder \"" + path + "\"");
    entries_.try_emplace(key, Entry{path, true, {}});
}

void MemoryFiles::Move(const std::string& from, const std::string& to) {
    crash_.Step();
    const auto found = entries_.find(Key(from));
    if (found == entries_.end() || found->second.folder || !ParentExists(Key(to)) || FolderExists(to))
        throw std::runtime_error("Cannot move the file \"" + from + "\"");
    std::string bytes = std::move(found->second.bytes);
    const uint64_t written = found->second.written;
    entries_.erase(found);
    entries_[Key(to)] = {to, false, std::move(bytes), written};
}

bool MemoryFiles::RemoveFile(const std::string& path) {
    crash_.Step();
    const std::string key = Key(path);
    if (std::find(locked_.begin(), locked_.end(), key) != locked_.end())
        return false;
    const auto found = entries_.find(key);
    if (found != entries_.end() && !found->second.folder)
        entries_.erase(found);
    return !FileExists(path);
}

bool MemoryFiles::RemoveEmptyFolder(const std::string& path) {
    crash_.Step();
    if (!FolderExists(path))
        return true;
    if (!List(path).empty())
        return false;
    entries_.erase(Key(path));
    return true;
}

bool MemoryFiles::RemoveTree(const std::string& path) {
    crash_.Step();
    const std::string key = Key(path);
    bool gone = true;
    for (auto it = entries_.lower_bound(key + "\\"); it != entries_.end() && it->first.starts_with(key + "\\");) {
        if (std::find(locked_.begin(), locked_.end(), it->first) != locked_.end()) {
            gone = false;
            ++it;
        } else {
            it = entries_.erase(it);
        }
    }
    if (gone)
        entries_.erase(key);
    return gone;
}

void MemoryFiles::Put(const std::string& path, const std::string& bytes) {
    std::string key = Key(path);
    for (std::string parent = ParentKey(path); parent.find('\\') != std::string::npos; parent = ParentKey(parent))
        entries_.try_emplace(Key(parent), Entry{parent, true, {}});
    entries_[key] = {path, false, bytes, ++clock_};
}

std::optional<uint64_t> MemoryFiles::WriteTime(const std::string& path) const {
    const auto found = entries_.find(Key(path));
    if (found == entries_.end() || found->second.folder)
        return std::nullopt;
    return found->second.written;
}

std::map<std::string, std::string> MemoryFiles::Snapshot(const std::string& except) const {
    const std::string skipped = except.empty() ? std::string() : Key(except);
    std::map<std::string, std::string> snapshot;
    for (const auto& [key, entry] : entries_) {
        if (!skipped.empty() && (key == skipped || key.starts_with(skipped + "\\")))
            continue;
        snapshot[key] = entry.folder ? "<folder>" : entry.bytes;
    }
    return snapshot;
}

std::string MemoryRegistry::Fold(RegRoot root, const std::string& key) {
    return (root == RegRoot::CurrentUser ? "hkcu\\" : "hklm\\") + AsciiLower(key);
}

bool MemoryRegistry::KeyExists(RegRoot root, const std::string& key) const {
    return key.empty() || keys_.count(Fold(root, key)) != 0;
}

std::optional<RegValue> MemoryRegistry::ReadValue(RegRoot root, const std::string& key, const std::string& name) const {
    const auto found = keys_.find(Fold(root, key));
    if (found == keys_.end())
        return std::nullopt;
    const auto value = found->second.values.find(AsciiLower(name));
    if (value == found->second.values.end())
        return std::nullopt;
    return value->second.second;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(RegRoot root, const std::string& key) const {
    const std::string prefix = Fold(root, key) + "\\";
    std::vector<std::string> names;
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix); ++it) {
        if (it->first.find('\\', prefix.size()) == std::string::npos)
            names.push_back(LastPart(it->second.path));
    }
    return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(RegRoot root, const std::string& key) const {
    std::vector<std::string> names;
    const auto found = keys_.find(Fold(root, key));
    if (found != keys_.end()) {
        for (const auto& [folded, value] : found->second.values)
            names.push_back(value.first);
    }
    return names;
}

void MemoryRegistry::CreateKey(RegRoot root, const std::string& key) {
    crash_.Step();
    PutKey(root, key);
}

void MemoryRegistry::WriteValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& value) {
    crash_.Step();
    const auto found = keys_.find(Fold(root, key));
    if (found == keys_.end())
        throw std::runtime_error("Cannot write the registry value \"" + name + "\" of " + key);
    found->second.values[AsciiLower(name)] = {name, value};
}

void MemoryRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
    crash_.Step();
    const auto found = keys_.find(Fold(root, key));
    if (found != keys_.end())
        found->second.values.erase(AsciiLower(name));
}

bool MemoryRegistry::DeleteEmptyKey(RegRoot root, const std::string& key) {
    crash_.Step();
    const auto found = keys_.find(Fold(root, key));
    if (found == keys_.end())
        return true;
    if (!found->second.values.empty() || !SubKeyNames(root, key).empty())
        return false;
    keys_.erase(found);
    return true;
}

void MemoryRegistry::PutKey(RegRoot root, const std::string& key) {
    for (std::string path = key; !path.empty(); path = ParentKey(path))
        keys_.try_emplace(Fold(root, path), Key{path, {}});
}

void MemoryRegistry::Put(RegRoot root, const std::string& key, const std::string& name, const std::string& text) {
    PutKey(root, key);
    keys_[Fold(root, key)].values[AsciiLower(name)] = {name, RegValue::String(text)};
}

std::optional<std::string> MemoryRegistry::Text(RegRoot root, const std::string& key, const std::string& name) const {
    const std::optional<RegValue> value = ReadValue(root, key, name);
    return value ? value->Text() : std::nullopt;
}

std::map<std::string, std::string> MemoryRegistry::Snapshot() const {
    std::map<std::string, std::string> snapshot;
    for (const auto& [folded, key] : keys_) {
        snapshot[folded] = "<key>";
        for (const auto& [name, value] : key.values)
            snapshot[folded + " \"" + name + "\""] = std::to_string(value.second.type) + ":" + value.second.data;
    }
    return snapshot;
}

}  // namespace lumaforge::test

#include "registry.h"

#include <algorithm>

namespace host {

namespace {

unsigned char FoldChar(char c)
{
    auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Rebuilds a cached index over a map after the map gained an entry.
template <typename Map, typename Pointer>
const std::vector<Pointer> &Ordered(const Map &map, std::vector<Pointer> &order)
{
    if (order.size() != map.size()) {
        order.clear();
        order.reserve(map.size());
        for (const auto &entry : map)
            order.push_back(entry.second.get());
    }
    return order;
}

}  // namespace

bool FoldedLess::operator()(std::string_view a, std::string_view b) const
{
    // Names that sort near each other share long prefixes byte for byte:
    // skip those, and fold only where the bytes differ.
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        unsigned char ca = FoldChar(a[i]), cb = FoldChar(b[i]);
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

std::size_t FoldedHash::operator()(std::string_view name) const
{
    std::size_t hash = 14695981039346656037ull;
    for (char c : name)
        hash = (hash ^ FoldChar(c)) * 1099511628211ull;
    return hash;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldChar(a[i]) != FoldChar(b[i]))
            return false;
    return true;
}

Key *Key::findSubkey(std::string_view name) const
{
    auto it = subkeys_.find(name);
    return it == subkeys_.end() ? nullptr : it->second.get();
}

Key &Key::subkey(std::string_view name)
{
    auto it = subkeys_.find(name);
    if (it == subkeys_.end()) {
        auto key = std::make_unique<Key>(std::string(name));
        std::string_view view = key->name_;
        subkeysAdded_.push_back(key.get());
        it = subkeys_.emplace(view, std::move(key)).first;
    }
    return *it->second;
}

const Key *Key::subkeyAt(std::size_t index) const
{
    if (subkeyOrder_.size() != subkeysAdded_.size()) {
        // Files mostly list keys in order already: then there is nothing to sort.
        auto byName = [](const Key *a, const Key *b) { return FoldedLess()(a->name(), b->name()); };
        subkeyOrder_ = subkeysAdded_;
        if (!std::is_sorted(subkeyOrder_.begin(), subkeyOrder_.end(), byName))
            std::sort(subkeyOrder_.begin(), subkeyOrder_.end(), byName);
    }
    return index < subkeyOrder_.size() ? subkeyOrder_[index] : nullptr;
}

void Key::addRun()
{
    if (!runs_.empty() && read_)
        runs_.back().end = values_.size();
    runs_.push_back(Run{{}, read_ ? values_.size() : 0, std::string::npos});
}

void Key::setRunLines(std::string_view lines)
{
    runs_.back().lines = lines;
    if (!lines.empty())
        read_ = false;
}

void Key::readValues() const
{
    if (read_)
        return;
    read_ = true;
    auto *self = const_cast<Key *>(this);
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        runs_[i].first = values_.size();
        ReadValueLines(runs_[i].lines, *self);
        runs_[i].end = i + 1 < runs_.size() ? values_.size() : std::string::npos;
    }
}

std::pair<std::size_t, std::size_t> Key::runValues(std::size_t run) const
{
    readValues();
    return {runs_[run].first, std::min(runs_[run].end, addedOrder_.size())};
}

const std::vector<Value *> &Key::valuesInAddedOrder() const
{
    readValues();
    return addedOrder_;
}

std::size_t Key::valueCount() const
{
    readValues();
    return values_.size();
}

Value *Key::findValue(std::string_view name)
{
    readValues();
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : it->second.get();
}

const Value *Key::findValue(std::string_view name) const
{
    readValues();
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : it->second.get();
}

Value &Key::setValue(std::string_view name, std::uint32_t type, Bytes data)
{
    readValues();
    auto it = values_.find(name);
    if (it == values_.end()) {
        auto value = std::make_unique<Value>();
        value->name = std::string(name);
        std::string_view view = value->name;
        it = values_.emplace(view, std::move(value)).first;
        addedOrder_.push_back(it->second.get());
    }
    Value &value = *it->second;
    value.type = type;
    value.data = std::move(data);
    value.sourceText = {};
    return value;
}

const Value *Key::valueAt(std::size_t index) const
{
    readValues();
    const auto &order = Ordered(values_, valueOrder_);
    return index < order.size() ? order[index] : nullptr;
}

Key *Registry::findRoot(std::string_view name) const
{
    auto it = roots_.find(name);
    return it == roots_.end() ? nullptr : it->second.get();
}

Key &Registry::root(std::string_view name)
{
    auto it = roots_.find(name);
    if (it == roots_.end()) {
        auto key = std::make_unique<Key>(std::string(name));
        std::string_view view = key->name();
        it = roots_.emplace(view, std::move(key)).first;
    }
    return *it->second;
}

std::string_view Registry::keepSource(std::string text)
{
    return texts_.emplace_back(std::move(text));
}

std::string_view Registry::keepSource(std::string_view text, std::shared_ptr<const void> holder)
{
    holders_.push_back(std::move(holder));
    return text;
}

void Registry::addSection(Key &key, std::string_view text)
{
    sections.push_back(Section{&key, text, key.runCount()});
    key.addRun();
}

void Registry::ensureSection(Key &key, std::string_view fullPath)
{
    if (key.runCount() == 0)
        addSection(key, keepSource(lineEnd + "[" + std::string(fullPath) + "]" + lineEnd));
}

}  // namespace host

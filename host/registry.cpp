#include "registry.h"

namespace host {

namespace {

char FoldChar(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Rebuilds a cached index over a map after the map gained an entry.
template <typename Map, typename Pointer, typename Get>
const std::vector<Pointer> &Ordered(const Map &map, std::vector<Pointer> &order, Get get)
{
    if (order.size() != map.size()) {
        order.clear();
        order.reserve(map.size());
        for (const auto &entry : map)
            order.push_back(get(entry.second));
    }
    return order;
}

}  // namespace

std::string FoldName(std::string_view name)
{
    std::string folded(name);
    for (char &c : folded)
        c = FoldChar(c);
    return folded;
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
    auto it = subkeys_.find(FoldName(name));
    return it == subkeys_.end() ? nullptr : it->second.get();
}

Key &Key::subkey(std::string_view name)
{
    auto &slot = subkeys_[FoldName(name)];
    if (!slot)
        slot = std::make_unique<Key>(std::string(name));
    return *slot;
}

const Key *Key::subkeyAt(std::size_t index) const
{
    const auto &order = Ordered(subkeys_, subkeyOrder_, [](const std::unique_ptr<Key> &k) {
        return static_cast<const Key *>(k.get());
    });
    return index < order.size() ? order[index] : nullptr;
}

Value *Key::findValue(std::string_view name)
{
    auto it = values_.find(FoldName(name));
    return it == values_.end() ? nullptr : &it->second;
}

const Value *Key::findValue(std::string_view name) const
{
    return const_cast<Key *>(this)->findValue(name);
}

Value &Key::setValue(std::string_view name, std::uint32_t type, Bytes data)
{
    auto [it, added] = values_.try_emplace(FoldName(name));
    Value &value = it->second;
    if (added) {
        value.name = std::string(name);
        addedOrder_.push_back(&value);
    }
    value.type = type;
    value.data = std::move(data);
    value.sourceText.clear();
    return value;
}

const Value *Key::valueAt(std::size_t index) const
{
    const auto &order = Ordered(values_, valueOrder_, [](const Value &v) { return &v; });
    return index < order.size() ? order[index] : nullptr;
}

Key *Registry::findRoot(std::string_view name) const
{
    auto it = roots_.find(FoldName(name));
    return it == roots_.end() ? nullptr : it->second.get();
}

Key &Registry::root(std::string_view name)
{
    auto &slot = roots_[FoldName(name)];
    if (!slot)
        slot = std::make_unique<Key>(std::string(name));
    return *slot;
}

void Registry::addSection(Key &key, std::string text)
{
    if (key.lastSection != std::string::npos)
        sections[key.lastSection].endValue = key.valueCount();
    key.lastSection = sections.size();
    sections.push_back(Section{&key, std::move(text), key.valueCount(), std::string::npos});
}

void Registry::ensureSection(Key &key, std::string_view fullPath)
{
    if (key.lastSection == std::string::npos)
        addSection(key, lineEnd + "[" + std::string(fullPath) + "]" + lineEnd);
}

}  // namespace host

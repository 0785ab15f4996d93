#include "registry.h"

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
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = FoldChar(a[i]), cb = FoldChar(b[i]);
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
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
        it = subkeys_.emplace(view, std::move(key)).first;
    }
    return *it->second;
}

const Key *Key::subkeyAt(std::size_t index) const
{
    const auto &order = Ordered(subkeys_, subkeyOrder_);
    return index < order.size() ? order[index] : nullptr;
}

Value *Key::findValue(std::string_view name)
{
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : it->second.get();
}

const Value *Key::findValue(std::string_view name) const
{
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : it->second.get();
}

Value &Key::setValue(std::string_view name, std::uint32_t type, Bytes data)
{
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

void Registry::addSection(Key &key, std::string_view text)
{
    if (key.lastSection != std::string::npos)
        sections[key.lastSection].endValue = key.valueCount();
    key.lastSection = sections.size();
    sections.push_back(Section{&key, text, key.valueCount(), std::string::npos});
}

void Registry::ensureSection(Key &key, std::string_view fullPath)
{
    if (key.lastSection == std::string::npos)
        addSection(key, keepSource(lineEnd + "[" + std::string(fullPath) + "]" + lineEnd));
}

}  // namespace host

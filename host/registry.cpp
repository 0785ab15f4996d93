#include "registry.h"

#include <algorithm>

namespace host {

namespace {

unsigned char FoldChar(char c)
{
    auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
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
    if (!subkeys_)
        return nullptr;
    auto it = subkeys_->byName.find(name);
    return it == subkeys_->byName.end() ? nullptr : it->second.get();
}

Key &Key::subkey(std::string_view name)
{
    if (Key *found = findSubkey(name))
        return *found;
    if (!subkeys_)
        subkeys_ = std::make_unique<Subkeys>();
    auto key = std::make_unique<Key>(std::string(name));
    Key &added = *key;
    subkeys_->added.push_back(key.get());
    subkeys_->byName.emplace(std::string_view(added.name_), std::move(key));
    return added;
}

const Key *Key::subkeyAt(std::size_t index) const
{
    if (!subkeys_)
        return nullptr;
    auto &sorted = subkeys_->sorted;
    if (sorted.size() != subkeys_->added.size()) {
        // Files mostly list keys in order already: then there is nothing to sort.
        auto byName = [](const Key *a, const Key *b) { return FoldedLess()(a->name(), b->name()); };
        sorted = subkeys_->added;
        if (!std::is_sorted(sorted.begin(), sorted.end(), byName))
            std::sort(sorted.begin(), sorted.end(), byName);
    }
    return index < sorted.size() ? sorted[index] : nullptr;
}

void Key::addRun()
{
    if (runCount_ > 0 && read_)
        runAt(runCount_ - 1).end = valueCount();
    Run run{{}, read_ ? valueCount() : 0, std::string::npos};
    if (runCount_ == 0)
        firstRun_ = run;
    else
        moreRuns_.push_back(run);
    ++runCount_;
}

void Key::setRunLines(std::string_view lines)
{
    runAt(runCount_ - 1).lines = lines;
    if (!lines.empty())
        read_ = false;
}

void Key::readValues() const
{
    if (read_)
        return;
    read_ = true;
    auto *self = const_cast<Key *>(this);
    for (std::size_t i = 0; i < runCount_; ++i) {
        runAt(i).first = valueCount();
        ReadValueLines(runAt(i).lines, *self);
        runAt(i).end = i + 1 < runCount_ ? valueCount() : std::string::npos;
    }
}

std::pair<std::size_t, std::size_t> Key::runValues(std::size_t run) const
{
    readValues();
    return {runAt(run).first, std::min(runAt(run).end, valueCount())};
}

const std::vector<Value *> &Key::valuesInAddedOrder() const
{
    static const std::vector<Value *> none;
    readValues();
    return values_ ? values_->addedPointers : none;
}

std::size_t Key::valueCount() const
{
    readValues();
    return values_ ? values_->added.size() : 0;
}

Value *Key::findValue(std::string_view name)
{
    readValues();
    if (!values_)
        return nullptr;
    // Sorted or not yet, a short list is searched from end to end.
    if (values_->sorted.size() != values_->added.size() && values_->added.size() <= 16) {
        for (Value &value : values_->added)
            if (SameName(value.name, name))
                return &value;
        return nullptr;
    }
    const auto &sorted = sortedValues();
    auto it = std::lower_bound(sorted.begin(), sorted.end(), name,
                               [](const Value *v, std::string_view n) { return FoldedLess()(v->name, n); });
    return it != sorted.end() && SameName((*it)->name, name) ? const_cast<Value *>(*it) : nullptr;
}

const Value *Key::findValue(std::string_view name) const
{
    return const_cast<Key *>(this)->findValue(name);
}

Value &Key::addValue(std::string_view name) const
{
    if (!values_)
        values_ = std::make_unique<Values>();
    Value &added = values_->added.emplace_back();
    added.name = std::string(name);
    values_->addedPointers.push_back(&added);
    return added;
}

const std::vector<const Value *> &Key::sortedValues() const
{
    auto &sorted = values_->sorted;
    if (sorted.size() != values_->added.size()) {
        sorted.assign(values_->addedPointers.begin(), values_->addedPointers.end());
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const Value *a, const Value *b) { return FoldedLess()(a->name, b->name); });
    }
    return sorted;
}

Value &Key::setValue(std::string_view name, std::uint32_t type, Bytes data)
{
    Value *value = findValue(name);
    if (!value)
        value = &addValue(name);
    value->type = type;
    value->data = std::move(data);
    value->sourceText = {};
    return *value;
}

const Value *Key::valueAt(std::size_t index) const
{
    readValues();
    if (!values_)
        return nullptr;
    const auto &sorted = sortedValues();
    return index < sorted.size() ? sorted[index] : nullptr;
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

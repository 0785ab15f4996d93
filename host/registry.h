// The in-memory registry of the host build: a tree of keys holding typed
// values, with the name rules of the Windows registry (ASCII case ignored;
// enumeration sorted by name with ASCII letters folded to lower case).
#ifndef PELLIKOR_HOST_REGISTRY_H
#define PELLIKOR_HOST_REGISTRY_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace host {

using Bytes = std::vector<unsigned char>;

// Key and value names compare and sort as Windows enumerates them.
std::string FoldName(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

struct Value {
    std::string name;
    std::uint32_t type = 0;
    Bytes data;
    // The comments and blank lines before it in its .reg file, and its own
    // lines there, so that a file is written back as it was read. sourceText
    // is empty for a value that changed or never came from a file.
    std::string leadingText;
    std::string sourceText;
};

class Key {
public:
    explicit Key(std::string name) : name_(std::move(name)) {}

    const std::string &name() const { return name_; }

    Key *findSubkey(std::string_view name) const;
    Key &subkey(std::string_view name);  // found, or created
    // Enumeration by index: constant time per call once the order is built.
    const Key *subkeyAt(std::size_t index) const;
    std::size_t subkeyCount() const { return subkeys_.size(); }

    Value *findValue(std::string_view name);
    const Value *findValue(std::string_view name) const;
    // Stores type and data; a new value takes the name given, an existing one keeps its own.
    Value &setValue(std::string_view name, std::uint32_t type, Bytes data);
    const Value *valueAt(std::size_t index) const;
    std::size_t valueCount() const { return values_.size(); }

    // Values in the order they were added, which is the order a file gave them.
    const std::vector<Value *> &valuesInAddedOrder() const { return addedOrder_; }

    // Which of the registry's sections is this key's last, the one that new
    // values go to; npos while the key has none.
    std::size_t lastSection = std::string::npos;

private:
    std::string name_;
    std::map<std::string, std::unique_ptr<Key>> subkeys_;  // by folded name
    std::map<std::string, Value> values_;                  // by folded name
    std::vector<Value *> addedOrder_;
    mutable std::vector<const Key *> subkeyOrder_;  // rebuilt when stale
    mutable std::vector<const Value *> valueOrder_;
};

// The registry's top: the predefined roots, each a tree of keys.
class Registry {
public:
    Key *findRoot(std::string_view name) const;
    Key &root(std::string_view name);  // found, or created

    // The layout of the .reg file, for writing it back as it was read: each
    // section holds the comments and blank lines before its [key] line, that
    // line, and a run of its key's values in the order they were added.
    struct Section {
        Key *key;
        std::string text;
        std::size_t firstValue;
        std::size_t endValue;  // npos: to the key's last value
    };
    std::string headerText;
    std::string trailerText;
    std::string lineEnd = "\r\n";
    std::vector<Section> sections;

    // A new section for the key, holding the values it gains from now on.
    void addSection(Key &key, std::string text);
    // Gives a key that has no section yet one at the end of the file.
    void ensureSection(Key &key, std::string_view fullPath);

private:
    std::map<std::string, std::unique_ptr<Key>> roots_;
};

}  // namespace host

#endif

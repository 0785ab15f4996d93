// The in-memory registry of the host build: a tree of keys holding typed
// values, with the name rules of the Windows registry (ASCII case ignored;
// enumeration sorted by name with ASCII letters folded to lower case).
#ifndef PELLIKOR_HOST_REGISTRY_H
#define PELLIKOR_HOST_REGISTRY_H

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// Short data, the usual case, is held without an allocation of its own.
using Bytes = std::basic_string<unsigned char>;

bool SameName(std::string_view a, std::string_view b);

// Orders names as Windows enumerates them: bytes compared unsigned, with
// ASCII letters folded to lower case.
struct FoldedLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

struct Value {
    std::string name;
    std::uint32_t type = 0;
    Bytes data;
    // The comments and blank lines before it in its .reg file, and its own
    // lines there, so that a file is written back as it was read. Both point
    // into the file's text, which the registry keeps; sourceText is empty for
    // a value that changed or never came from a file.
    std::string_view leadingText;
    std::string_view sourceText;
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
    // Keyed by views of the names the entries hold themselves.
    std::map<std::string_view, std::unique_ptr<Key>, FoldedLess> subkeys_;
    std::map<std::string_view, std::unique_ptr<Value>, FoldedLess> values_;
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
        std::string_view text;
        std::size_t firstValue;
        std::size_t endValue;  // npos: to the key's last value
    };
    std::string_view headerText;
    std::string_view trailerText;
    std::string lineEnd = "\r\n";
    std::vector<Section> sections;

    // Keeps the text of the file read, which the layout points into.
    std::string_view keepSource(std::string text);
    // A new section for the key, holding the values it gains from now on.
    void addSection(Key &key, std::string_view text);
    // Gives a key that has no section yet one at the end of the file.
    void ensureSection(Key &key, std::string_view fullPath);

private:
    std::map<std::string_view, std::unique_ptr<Key>, FoldedLess> roots_;
    std::deque<std::string> texts_;  // stable storage for keepSource and new sections
};

}  // namespace host

#endif

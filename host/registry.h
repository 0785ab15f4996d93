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
#include <unordered_map>
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

struct FoldedHash {
    std::size_t operator()(std::string_view name) const;
};
struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SameName(a, b); }
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
    std::size_t subkeyCount() const { return subkeys_ ? subkeys_->byName.size() : 0; }

    // Values are read from the file's text when first asked for: most keys
    // of a large registry are never looked at. Each run holds the value lines
    // of one of the key's sections.
    void addRun();
    void setRunLines(std::string_view lines);  // of the last run, not yet read
    std::size_t runCount() const { return runCount_; }
    bool valuesRead() const { return read_; }
    std::string_view runLines(std::size_t run) const { return runAt(run).lines; }
    // The values of a run, as indices into valuesInAddedOrder(); reads them.
    std::pair<std::size_t, std::size_t> runValues(std::size_t run) const;

    Value *findValue(std::string_view name);
    const Value *findValue(std::string_view name) const;
    // Stores type and data; a new value takes the name given, an existing one keeps its own.
    Value &setValue(std::string_view name, std::uint32_t type, Bytes data);
    const Value *valueAt(std::size_t index) const;
    std::size_t valueCount() const;

    // Values in the order they were added, which is the order a file gave them.
    const std::vector<Value *> &valuesInAddedOrder() const;

private:
    struct Run {
        std::string_view lines;
        std::size_t first;
        std::size_t end;  // npos: to the last value
    };
    void readValues() const;
    Run &runAt(std::size_t run) const { return run == 0 ? firstRun_ : moreRuns_[run - 1]; }
    Value &addValue(std::string_view name) const;
    const std::vector<const Value *> &sortedValues() const;

    // Kept apart, and made only when needed: most keys of a large registry
    // are leaves whose values are never read.
    struct Subkeys {
        // Keyed by views of the names the keys hold themselves.
        std::unordered_map<std::string_view, std::unique_ptr<Key>, FoldedHash, FoldedEqual> byName;
        std::vector<const Key *> added;  // in the order they were added
        std::vector<const Key *> sorted;  // rebuilt when stale
    };
    // In the order they were added, with an index sorted by name: a key
    // holds a handful of values, and this keeps them together in memory.
    struct Values {
        std::deque<Value> added;
        std::vector<Value *> addedPointers;
        std::vector<const Value *> sorted;  // rebuilt when stale
    };

    std::string name_;
    mutable std::unique_ptr<Subkeys> subkeys_;
    mutable std::unique_ptr<Values> values_;
    mutable Run firstRun_{};
    mutable std::vector<Run> moreRuns_;
    std::uint32_t runCount_ = 0;
    mutable bool read_ = true;
};

// Reads value lines of a .reg file into the key; the .reg reader defines it.
void ReadValueLines(std::string_view lines, Key &key);

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
        std::size_t run;  // which of the key's runs of values follows
    };
    std::string_view headerText;
    std::string_view trailerText;
    std::string lineEnd = "\r\n";
    std::vector<Section> sections;

    // Keeps text that the layout points into: a file's text, or a line made here.
    std::string_view keepSource(std::string text);
    // Keeps text held elsewhere (a mapped file) alive as long as the registry.
    std::string_view keepSource(std::string_view text, std::shared_ptr<const void> holder);
    // A new section for the key, holding the values it gains from now on.
    void addSection(Key &key, std::string_view text);
    // Gives a key that has no section yet one at the end of the file.
    void ensureSection(Key &key, std::string_view fullPath);

private:
    std::map<std::string_view, std::unique_ptr<Key>, FoldedLess> roots_;
    std::deque<std::string> texts_;  // stable storage for keepSource and new sections
    std::vector<std::shared_ptr<const void>> holders_;
};

}  // namespace host

#endif

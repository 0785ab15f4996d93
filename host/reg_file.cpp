#include "reg_file.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace host {

namespace {

const char *const kRoots[] = {
    "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",   "HKEY_CLASSES_ROOT",
    "HKEY_USERS",         "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A short, printable quote of what was found, for error messages.
std::string Shown(std::string_view s)
{
    std::string out = "\"";
    for (char c : s.substr(0, 40)) {
        auto u = static_cast<unsigned char>(c);
        if (c == '"') {
            out += "\\\"";
        } else if (u < 0x20 || u == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + (s.size() > 40 ? "...\"" : "\"");
}

// Walks the text line by line; each line is its content (no line end) and its
// raw bytes (with the line end), so that nothing read is lost.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool next()
    {
        if (pos_ >= text_.size())
            return false;
        std::size_t end = text_.find('\n', pos_);
        std::size_t stop = end == std::string_view::npos ? text_.size() : end + 1;
        raw_ = text_.substr(pos_, stop - pos_);
        content_ = raw_;
        if (!content_.empty() && content_.back() == '\n')
            content_.remove_suffix(1);
        if (!content_.empty() && content_.back() == '\r')
            content_.remove_suffix(1);
        pos_ = stop;
        ++number_;
        if (content_.find('\0') != std::string_view::npos)
            throw RegFileError(number_, "NUL byte in the line");
        return true;
    }

    std::string_view content() const { return content_; }
    std::string_view raw() const { return raw_; }
    int number() const { return number_; }
    // Where the current line starts and where the next one does.
    std::size_t start() const { return pos_ - raw_.size(); }
    std::size_t end() const { return pos_; }
    std::string_view text(std::size_t from, std::size_t to) const { return text_.substr(from, to - from); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::string_view raw_, content_;
    int number_ = 0;
};

// Reads one value, from its "name"= line through its continuation lines.
class ValueReader {
public:
    explicit ValueReader(Lines &lines) : lines_(lines) {}

    [[noreturn]] void fail(const std::string &what) const { throw RegFileError(lines_.number(), what); }

    // line: the current line, without blanks around it.
    void read(std::string_view line)
    {
        name.clear();
        data.clear();
        std::string_view rest = line.front() == '@' ? line.substr(1) : readQuoted(line, name, "value name");
        rest = TrimBlanks(rest);
        if (rest.empty() || rest.front() != '=')
            fail("expected = after the value name " + Shown(name));
        rest = TrimBlanks(rest.substr(1));

        if (!rest.empty() && rest.front() == '"') {
            if (!TrimBlanks(readQuoted(rest, text_, "string")).empty())
                fail("unexpected text after the string of " + Shown(name));
            type = 1;  // REG_SZ, stored with its terminator
            data.assign(text_.begin(), text_.end());
            data.push_back(0);
        } else if (rest.substr(0, 6) == "dword:") {
            std::string_view digits = rest.substr(6);
            if (digits.size() != 8)
                fail("dword: needs exactly 8 hex digits, found " + Shown(digits));
            std::uint32_t number = 0;
            for (char c : digits) {
                if (HexDigit(c) < 0)
                    fail("bad hex digit in dword: " + Shown(digits));
                number = number << 4 | static_cast<std::uint32_t>(HexDigit(c));
            }
            type = 4;  // REG_DWORD, little-endian
            for (int i = 0; i < 4; ++i)
                data.push_back(static_cast<unsigned char>(number >> (8 * i)));
        } else if (rest.substr(0, 3) == "hex") {
            type = readHexType(rest);
            readHexBytes(rest.substr(rest.find(':') + 1));
        } else if (rest == "-") {
            fail("deleting a value (=-) is not supported in a registry file");
        } else {
            fail("unknown data " + Shown(rest) + "; expected \"string\", dword:, hex: or hex(N):");
        }
    }

    std::string name;
    std::uint32_t type = 0;
    Bytes data;

private:
    // Reads a quoted string at the start of s (which begins with the quote);
    // returns what follows the closing quote.
    std::string_view readQuoted(std::string_view s, std::string &out, const char *what)
    {
        out.clear();
        std::size_t close = 1;
        while (close < s.size() && s[close] != '"' && s[close] != '\\')
            ++close;
        if (close < s.size() && s[close] == '"') {  // no escapes: the usual case
            out.assign(s.substr(1, close - 1));
            return s.substr(close + 1);
        }
        for (std::size_t i = 1; i < s.size(); ++i) {
            char c = s[i];
            if (c == '"')
                return s.substr(i + 1);
            if (c == '\\') {
                if (i + 1 == s.size())
                    break;
                char next = s[++i];
                if (next != '\\' && next != '"')
                    fail(std::string("unknown escape \\") + next + " in " + what +
                         "; only \\\\ and \\\" are allowed");
                c = next;
            }
            out += c;
        }
        fail(std::string("unterminated ") + what + ": no closing \"");
    }

    // "hex:" is REG_BINARY; "hex(N):" gives the type N in hex.
    std::uint32_t readHexType(std::string_view rest)
    {
        if (rest.substr(0, 4) == "hex:")
            return 3;
        std::size_t close = rest.find("):");
        if (rest.substr(0, 4) != "hex(" || close == std::string_view::npos || close == 4 || close > 12)
            fail("expected hex: or hex(N): with N of 1 to 8 hex digits, found " + Shown(rest));
        std::uint32_t number = 0;
        for (char c : rest.substr(4, close - 4)) {
            if (HexDigit(c) < 0)
                fail("bad hex digit in the type of " + Shown(rest));
            number = number << 4 | static_cast<std::uint32_t>(HexDigit(c));
        }
        return number;
    }

    // Comma-separated two-digit bytes; a backslash at the end of a line
    // continues the list on the next line.
    void readHexBytes(std::string_view rest)
    {
        for (;;) {
            rest = TrimBlanks(rest);
            bool continues = !rest.empty() && rest.back() == '\\';
            if (continues)
                rest = TrimBlanks(rest.substr(0, rest.size() - 1));
            while (!rest.empty()) {
                std::size_t comma = rest.find(',');
                std::string_view byte = TrimBlanks(rest.substr(0, comma));
                if (byte.size() != 2 || HexDigit(byte[0]) < 0 || HexDigit(byte[1]) < 0)
                    fail("bad hex byte " + Shown(byte) + "; each byte is two hex digits");
                data.push_back(static_cast<unsigned char>(HexDigit(byte[0]) << 4 | HexDigit(byte[1])));
                if (comma == std::string_view::npos)
                    break;
                rest = rest.substr(comma + 1);
                if (TrimBlanks(rest).empty() && !continues)
                    fail("hex data ends in a comma with no \\ to continue it");
                if (TrimBlanks(rest).empty())
                    break;
            }
            if (!continues)
                return;
            if (!lines_.next())
                fail("the file ends inside hex data continued with \\");
            rest = lines_.content();
        }
    }

    Lines &lines_;
    std::string text_;
};

// The value names of one section, to find one given twice. Sections hold a
// few values each: a short list, reused from section to section, is cheaper
// than a tree; a section with many values gets a tree too.
class NameSet {
public:
    bool add(const std::string &name)
    {
        if (count_ >= kListed)
            return many_.insert(name).second;
        for (std::size_t i = 0; i < count_; ++i)
            if (SameName(listed_[i], name))
                return false;
        if (count_ == listed_.size())
            listed_.emplace_back();
        listed_[count_++].assign(name);
        if (count_ == kListed)
            many_.insert(listed_.begin(), listed_.end());
        return true;
    }

    void clear()
    {
        count_ = 0;
        many_.clear();
    }

private:
    static constexpr std::size_t kListed = 32;
    std::vector<std::string> listed_;
    std::size_t count_ = 0;
    std::set<std::string, FoldedLess> many_;
};

bool IsTrivia(std::string_view line)
{
    return line.empty() || line.front() == ';' || line.front() == '#';
}

// Checks the whole file at once, so that any fault is found with its line
// before anything runs; the values themselves are kept as their key's lines
// and read only when first asked for.
class Reader {
public:
    Reader(std::string_view text, std::shared_ptr<const void> holder)
        : lines_(registry_.keepSource(text, std::move(holder))), values_(lines_)
    {
    }

    Registry read()
    {
        readHeader();
        while (lines_.next()) {
            std::string_view line = TrimBlanks(lines_.content());
            if (IsTrivia(line)) {
                continue;  // stays pending, for the next section or value
            } else if (line.front() == '[') {
                endSection();
                readSection(line);
            } else if (line.front() == '"' || line.front() == '@') {
                if (!current_)
                    fail("value before any [key] line");
                int firstLine = lines_.number();
                values_.read(line);
                if (!namesInSection_.add(values_.name))
                    throw RegFileError(firstLine, "value " + Shown(values_.name) + " is given twice in one key");
                pending_ = lines_.end();
            } else {
                fail("expected a [key] line, a \"name\"= or @= value, or a ; comment; found " + Shown(line));
            }
        }
        endSection();
        registry_.trailerText = lines_.text(pending_, lines_.end());
        return std::move(registry_);
    }

private:
    [[noreturn]] void fail(const std::string &what) const { throw RegFileError(lines_.number(), what); }

    void readHeader()
    {
        if (!lines_.next())
            throw RegFileError(1, "empty file; expected the header line REGEDIT4");
        if (lines_.content() != "REGEDIT4")
            fail("expected the header line REGEDIT4, found " + Shown(lines_.content()));
        registry_.headerText = lines_.raw();
        pending_ = lines_.end();
        if (lines_.raw().size() >= 2 && lines_.raw()[lines_.raw().size() - 2] == '\r')
            registry_.lineEnd = "\r\n";
        else if (lines_.raw().back() == '\n')
            registry_.lineEnd = "\n";
    }

    // The section's value lines run from its [key] line to its last value.
    void endSection()
    {
        if (current_)
            current_->setRunLines(lines_.text(bodyStart_, pending_));
        namesInSection_.clear();
    }

    void readSection(std::string_view line)
    {
        if (line.back() != ']')
            fail("unterminated key name: " + Shown(line) + " has no closing ]");
        std::string_view path = line.substr(1, line.size() - 2);
        if (!path.empty() && path.front() == '-')
            fail("deleting a key ([-...]) is not supported in a registry file");

        std::size_t slash = path.find('\\');
        std::string_view rootName = path.substr(0, slash);
        bool known = false;
        for (const char *root : kRoots)
            known = known || SameName(rootName, root);
        if (!known)
            fail("unknown root key " + Shown(rootName) + "; expected one such as HKEY_LOCAL_MACHINE");

        // Sections mostly follow one another down a branch: the walk starts
        // from the deepest key that the last section's path shares.
        std::size_t shared = 0;
        while (shared < lastKeys_.size()) {
            std::size_t end = lastKeys_[shared].first;
            if (path.size() < end || path.compare(0, end, lastPath_, 0, end) != 0 ||
                (path.size() > end && path[end] != '\\'))
                break;
            ++shared;
        }
        lastKeys_.resize(shared);
        if (shared == 0)
            lastKeys_.emplace_back(rootName.size(), &registry_.root(rootName));
        Key *key = lastKeys_.back().second;
        for (std::size_t pos = lastKeys_.back().first; pos < path.size();) {
            std::size_t start = pos + 1;
            std::size_t next = path.find('\\', start);
            pos = next == std::string_view::npos ? path.size() : next;
            std::string_view name = path.substr(start, pos - start);
            if (name.empty())
                fail("empty key name in " + Shown(line));
            key = &key->subkey(name);
            lastKeys_.emplace_back(pos, key);
        }
        lastPath_.assign(path);

        registry_.addSection(*key, lines_.text(pending_, lines_.end()));
        pending_ = bodyStart_ = lines_.end();
        current_ = key;
    }

    Registry registry_;
    Lines lines_;
    ValueReader values_;
    Key *current_ = nullptr;
    std::size_t pending_ = 0;    // where the lines not yet attached to anything start
    std::size_t bodyStart_ = 0;  // where the current section's value lines start
    NameSet namesInSection_;
    std::string lastPath_;
    std::vector<std::pair<std::size_t, Key *>> lastKeys_;  // end of each component in lastPath_, its key
};

void AppendEscaped(std::string &out, std::string_view s)
{
    out += '"';
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

// A REG_SZ is written as a string only when a string reads back as the same bytes.
bool IsPlainString(const Bytes &data)
{
    if (data.empty() || data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        if (data[i] == 0 || data[i] == '\n' || data[i] == '\r')
            return false;
    return true;
}

}  // namespace

Registry ReadRegFile(std::string text)
{
    auto held = std::make_shared<const std::string>(std::move(text));
    return Reader(*held, held).read();
}

Registry ReadRegFile(std::string_view text, std::shared_ptr<const void> holder)
{
    return Reader(text, std::move(holder)).read();
}

void ReadValueLines(std::string_view text, Key &key)
{
    Lines lines(text);
    ValueReader reader(lines);
    std::size_t pending = 0;
    while (lines.next()) {
        std::string_view line = TrimBlanks(lines.content());
        if (IsTrivia(line))
            continue;
        std::size_t start = lines.start();
        reader.read(line);
        Value &value = key.setValue(reader.name, reader.type, reader.data);
        value.leadingText = lines.text(pending, start);
        value.sourceText = lines.text(start, lines.end());
        pending = lines.end();
    }
}

std::string FormatValue(const Value &value, const std::string &lineEnd)
{
    std::string out;
    if (value.name.empty())
        out = "@";
    else
        AppendEscaped(out, value.name);
    out += '=';

    char buffer[16];
    if (value.type == 1 && IsPlainString(value.data)) {
        AppendEscaped(out, std::string_view(reinterpret_cast<const char *>(value.data.data()),
                                            value.data.size() - 1));
    } else if (value.type == 4 && value.data.size() == 4) {
        std::uint32_t n = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                          static_cast<std::uint32_t>(value.data[3]) << 24;
        std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(n));
        out += buffer;
    } else {
        if (value.type == 3) {
            out += "hex:";
        } else {
            std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(value.type));
            out += buffer;
        }
        // Lines wrapped near 80 columns, as regedit wraps them.
        std::size_t lineStart = 0;
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            std::snprintf(buffer, sizeof buffer, "%02x", value.data[i]);
            out += buffer;
            if (i + 1 == value.data.size())
                break;
            out += ',';
            if (out.size() - lineStart > 75) {
                out += '\\';
                out += lineEnd;
                lineStart = out.size();
                out += "  ";
            }
        }
    }
    return out + lineEnd;
}

void WriteRegFile(const Registry &registry, const std::function<void(std::string_view)> &put)
{
    if (registry.headerText.empty())
        put("REGEDIT4" + registry.lineEnd);
    put(registry.headerText);
    for (const Registry::Section &section : registry.sections) {
        put(section.text);
        if (!section.key->valuesRead()) {  // as they stand in the file
            put(section.key->runLines(section.run));
            continue;
        }
        const auto &values = section.key->valuesInAddedOrder();
        auto [first, end] = section.key->runValues(section.run);
        for (std::size_t i = first; i < end; ++i) {
            put(values[i]->leadingText);
            if (values[i]->sourceText.empty())
                put(FormatValue(*values[i], registry.lineEnd));
            else
                put(values[i]->sourceText);
        }
    }
    put(registry.trailerText);
}

std::string WriteRegFile(const Registry &registry)
{
    std::string out;
    WriteRegFile(registry, [&out](std::string_view piece) { out += piece; });
    return out;
}

}  // namespace host

#include "events.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

namespace test {

namespace {

bool SameOrCut(const std::string &a, bool aCut, const std::string &b, bool bCut)
{
    if (aCut)
        return b.compare(0, a.size(), a) == 0;
    if (bCut)
        return a.compare(0, b.size(), b) == 0;
    return a == b;
}

class Cursor {
public:
    explicit Cursor(const std::string &line, std::size_t pos) : line_(line), pos_(pos) {}

    [[noreturn]] void fail(const std::string &what) const
    {
        throw std::runtime_error("cannot read event (" + what + "): " + line_);
    }

    bool take(char c)
    {
        if (pos_ < line_.size() && line_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    unsigned hex()
    {
        std::size_t start = pos_;
        while (pos_ < line_.size() && std::isxdigit(static_cast<unsigned char>(line_[pos_])))
            ++pos_;
        if (pos_ == start)
            fail("hex number expected");
        return static_cast<unsigned>(std::stoul(line_.substr(start, pos_ - start), nullptr, 16));
    }

    // A string argument, as Wine's relay shows it: an optional pointer, then
    // the escaped string in quotes, and "..." behind it when it was cut.
    std::string string(bool &cut)
    {
        std::size_t quote = line_.find('"', pos_);
        if (quote == std::string::npos)
            fail("string expected");
        pos_ = quote + 1;
        std::string out;
        while (pos_ < line_.size() && line_[pos_] != '"') {
            char c = line_[pos_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= line_.size())
                fail("escape at the end");
            char e = line_[pos_++];
            switch (e) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'x':
                out += static_cast<char>(std::stoul(line_.substr(pos_, 2), nullptr, 16));
                pos_ += 2;
                break;
            default: out += e;
            }
        }
        if (!take('"'))
            fail("unterminated string");
        cut = line_.compare(pos_, 3, "...") == 0;
        if (cut)
            pos_ += 3;
        return out;
    }

private:
    const std::string &line_;
    std::size_t pos_;
};

}  // namespace

bool Event::operator==(const Event &other) const
{
    return call == other.call && style == other.style &&
           SameOrCut(text, textCut, other.text, other.textCut) &&
           SameOrCut(caption, captionCut, other.caption, other.captionCut);
}

Event Beep(unsigned sound)
{
    Event event;
    event.call = "MessageBeep";
    event.style = sound;
    return event;
}

Event Box(const std::string &text, const std::string &caption, unsigned style)
{
    Event event;
    event.call = "MessageBoxA";
    event.text = text;
    event.caption = caption;
    event.style = style;
    return event;
}

std::vector<Event> ParseEvents(const std::string &log)
{
    std::vector<Event> events;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t box = line.find("MessageBoxA(");
        std::size_t beep = line.find("MessageBeep(");
        if (box != std::string::npos) {
            Cursor cursor(line, box + 12);
            Event event;
            event.call = "MessageBoxA";
            if (line[box + 12] != '"') {  // the relay shows the owner window first
                cursor.hex();
                if (!cursor.take(','))
                    cursor.fail("comma expected");
            }
            event.text = cursor.string(event.textCut);
            event.caption = cursor.string(event.captionCut);
            if (!cursor.take(','))
                cursor.fail("comma expected");
            event.style = cursor.hex();
            events.push_back(event);
        } else if (beep != std::string::npos) {
            Cursor cursor(line, beep + 12);
            events.push_back(Beep(cursor.hex()));
        }
    }
    return events;
}

std::ostream &operator<<(std::ostream &out, const Event &event)
{
    out << event.call << "(";
    if (event.call == "MessageBoxA") {
        out << '"';
        for (char c : event.text)
            out << (c == '\n' ? std::string("\\n") : std::string(1, c));
        out << '"' << (event.textCut ? "..." : "") << ", \"" << event.caption << '"'
            << (event.captionCut ? "..." : "") << ", ";
    }
    return out << "0x" << std::hex << event.style << std::dec << ")";
}

}  // namespace test

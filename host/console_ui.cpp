#include "console_ui.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <cstring>
#include <unistd.h>

namespace host {

namespace {

// Escaped as Wine's relay trace escapes strings.
std::string Quoted(std::string_view s)
{
    std::string out = "\"";
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default:
            if (u >= 0x20 && u < 0x7f) {
                out += c;
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", u);
                out += hex;
            }
        }
    }
    return out + "\"";
}

std::string Hex8(unsigned n)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", n);
    return hex;
}

const char *IconName(unsigned style)
{
    switch (style & 0xF0u) {
    case 0x10: return "stop";
    case 0x20: return "question";
    case 0x30: return "exclamation";
    case 0x40: return "information";
    default: return nullptr;
    }
}

const char *SoundName(unsigned type)
{
    switch (type) {
    case 0x00: return "default";
    case 0x10: return "hand";
    case 0x20: return "question";
    case 0x30: return "exclamation";
    case 0x40: return "asterisk";
    case 0xFFFFFFFFu: return "simple";
    default: return "unknown";
    }
}

}  // namespace

std::string BoxEvent(std::string_view text, std::string_view caption, unsigned style)
{
    return "MessageBoxA(" + Quoted(text) + "," + Quoted(caption) + "," + Hex8(style) + ")";
}

std::string BeepEvent(unsigned type)
{
    return "MessageBeep(" + Hex8(type) + ")";
}

ConsoleUi::ConsoleUi(std::FILE *screen, bool waitForEnter, const std::string &eventLog)
    : screen_(screen), waitForEnter_(waitForEnter)
{
    if (!eventLog.empty()) {
        eventLog_ = open(eventLog.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (eventLog_ < 0)
            throw std::runtime_error(eventLog + ": cannot open the event log: " + std::strerror(errno));
    }
}

ConsoleUi::~ConsoleUi()
{
    if (eventLog_ >= 0)
        close(eventLog_);
}

void ConsoleUi::record(const std::string &event)
{
    if (eventLog_ < 0)
        return;
    std::string line = event + "\n";
    // One write per line: a log shared by several runs never mixes lines.
    if (write(eventLog_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        std::fprintf(stderr, "pellikor: cannot write the event log: %s\n", std::strerror(errno));
}

void ConsoleUi::messageBox(std::string_view text, std::string_view caption, unsigned style)
{
    record(BoxEvent(text, caption, style));
    const char *icon = IconName(style);
    std::fprintf(screen_, "\n+--[ %.*s ]%s%s%s\n", static_cast<int>(caption.size()), caption.data(),
                 icon ? "  (" : "", icon ? icon : "", icon ? ")" : "");
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        std::fprintf(screen_, "| %.*s\n", static_cast<int>(line.size()), line.data());
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    std::fputs(waitForEnter_ ? "+--[ OK ]  press Enter " : "+--[ OK ]\n", screen_);
    std::fflush(screen_);
    if (waitForEnter_) {
        int c;
        while ((c = std::getchar()) != EOF && c != '\n') {
        }
    }
}

void ConsoleUi::beep(unsigned type)
{
    record(BeepEvent(type));
    std::fprintf(screen_, "\n(beep: %s sound)\n", SoundName(type));
    std::fflush(screen_);
}

}  // namespace host

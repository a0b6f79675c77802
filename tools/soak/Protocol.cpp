#include "Protocol.h"

#include <sstream>
#include <utility>

namespace kelo::soak {

namespace {

using Kind = Event::Kind;

const std::pair<Kind, const char*> kKeywords[] = {
    {Kind::Cycle, "cycle"},   {Kind::Begin, "begin"}, {Kind::End, "end"},
    {Kind::Count, "count"},   {Kind::Fault, "fault"}, {Kind::Rss, "rss"},
    {Kind::Method, "method"}, {Kind::Done, "done"},
};

const char* keywordOf(Kind kind) {
    for (const auto& [k, word] : kKeywords)
        if (k == kind) return word;
    return "";
}

std::optional<Kind> kindOf(const std::string& word) {
    for (const auto& [k, keyword] : kKeywords)
        if (word == keyword) return k;
    return std::nullopt;
}

// The rest of the line after the stream's position, without the blank that
// separates it.
std::string restOf(std::istringstream& in) {
    std::string rest;
    std::getline(in >> std::ws, rest);
    return rest;
}

}  // namespace

std::string formatEvent(const Event& event) {
    std::ostringstream line;
    line << keywordOf(event.kind);
    switch (event.kind) {
        case Kind::Cycle:
        case Kind::Rss:
            line << ' ' << event.number;
            break;
        case Kind::Begin:
        case Kind::Count:
            line << ' ' << event.name;
            break;
        case Kind::End:
            line << ' ' << event.name << ' ' << event.number;
            break;
        case Kind::Fault:
            line << ' ' << event.name << ' ' << event.text;
            break;
        case Kind::Method:
            line << ' ' << event.text;
            break;
        case Kind::Done:
            break;
    }
    std::string text = line.str();
    // One event, one line, whatever a text holds.
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text + "\n";
}

std::optional<Event> parseEvent(const std::string& line) {
    std::istringstream in(line);
    std::string word;
    in >> word;
    const std::optional<Kind> kind = kindOf(word);
    if (!kind) return std::nullopt;
    Event event;
    event.kind = *kind;
    switch (*kind) {
        case Kind::Cycle:
        case Kind::Rss:
            if (!(in >> event.number)) return std::nullopt;
            break;
        case Kind::Begin:
        case Kind::Count:
            if (!(in >> event.name)) return std::nullopt;
            break;
        case Kind::End:
            if (!(in >> event.name >> event.number)) return std::nullopt;
            break;
        case Kind::Fault:
            if (!(in >> event.name)) return std::nullopt;
            event.text = restOf(in);
            break;
        case Kind::Method:
            event.text = restOf(in);
            break;
        case Kind::Done:
            break;
    }
    return event;
}

}  // namespace kelo::soak

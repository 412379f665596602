#include "support/Json.h"

#include <cctype>
#include <cstdlib>
#include <tuple>

namespace halcyra::test {
namespace {

const Json nothing;

class Reader {
public:
    explicit Reader(const std::string& text) : text(text) {}

    bool value(Json& out) {
        skip();
        if (at >= text.size())
            return false;
        const char c = text[at];
        if (c == '{')
            return object(out);
        if (c == '[')
            return array(out);
        if (c == '"') {
            out.kind = Json::Kind::String;
            return string(out.text);
        }
        for (const auto& [word, kind, flag] : {std::tuple{"true", Json::Kind::Bool, true},
                                               {"false", Json::Kind::Bool, false},
                                               {"null", Json::Kind::Null, false}})
            if (text.compare(at, std::string(word).size(), word) == 0) {
                at += std::string(word).size();
                out.kind = kind;
                out.flag = flag;
                return true;
            }
        char* end = nullptr;
        out.number = std::strtod(text.c_str() + at, &end);
        if (end == text.c_str() + at)
            return false;
        at = static_cast<size_t>(end - text.c_str());
        out.kind = Json::Kind::Number;
        return true;
    }
    bool done() {
        skip();
        return at == text.size();
    }
    size_t position() const { return at; }

private:
    void skip() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
    }
    bool take(char c) {
        skip();
        if (at < text.size() && text[at] == c) {
            ++at;
            return true;
        }
        return false;
    }
    bool string(std::string& out) {
        if (!take('"'))
            return false;
        while (at < text.size() && text[at] != '"') {
            char c = text[at++];
            if (c == '\\' && at < text.size()) {
                const char escaped = text[at++];
                c = escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                if (escaped == 'u' && at + 4 <= text.size()) {
                    c = static_cast<char>(std::strtol(text.substr(at, 4).c_str(), nullptr, 16));
                    at += 4;
                }
            }
            out += c;
        }
        return take('"');
    }
    bool array(Json& out) {
        out.kind = Json::Kind::Array;
        take('[');
        if (take(']'))
            return true;
        do {
            out.items.emplace_back();
            if (!value(out.items.back()))
                return false;
        } while (take(','));
        return take(']');
    }
    bool object(Json& out) {
        out.kind = Json::Kind::Object;
        take('{');
        if (take('}'))
            return true;
        do {
            std::string key;
            skip();
            if (!string(key) || !take(':'))
                return false;
            out.names.push_back(key);
            out.items.emplace_back();
            if (!value(out.items.back()))
                return false;
        } while (take(','));
        return take('}');
    }

    const std::string& text;
    size_t at = 0;
};

} // namespace

Json Json::parse(const std::string& text, std::string* error) {
    Reader reader(text);
    Json document;
    if (!reader.value(document) || !reader.done()) {
        if (error != nullptr)
            *error = "not JSON at character " + std::to_string(reader.position());
        return Json{};
    }
    return document;
}

const Json& Json::operator[](const std::string& key) const {
    if (kind != Kind::Object)
        return nothing;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == key)
            return items[i];
    return nothing;
}

const Json& Json::operator[](size_t index) const {
    return kind == Kind::Array && index < items.size() ? items[index] : nothing;
}

} // namespace halcyra::test

// JsonWriter: writes one JSON document, for what programs read of the show (--stats-json, --layout): people
// read the prose, programs read this. Objects and arrays are opened and closed in order; a key goes before
// each member of an object. Numbers that are not finite are written as null. Header only.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

class JsonWriter {
public:
    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }

    JsonWriter& key(std::string_view name) {
        separate();
        string(name);
        text += ':';
        afterKey = true;
        return *this;
    }
    JsonWriter& value(double number) {
        separate();
        if (!std::isfinite(number)) {
            text += "null";
            return *this;
        }
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.6g", number);
        text += digits;
        return *this;
    }
    JsonWriter& value(int number) { return value(static_cast<int64_t>(number)); }
    JsonWriter& value(int64_t number) {
        separate();
        text += std::to_string(number);
        return *this;
    }
    JsonWriter& value(bool flag) {
        separate();
        text += flag ? "true" : "false";
        return *this;
    }
    JsonWriter& value(std::string_view words) {
        separate();
        string(words);
        return *this;
    }
    JsonWriter& value(const char* words) {
        return words != nullptr ? value(std::string_view(words)) : null();
    }
    JsonWriter& null() {
        separate();
        text += "null";
        return *this;
    }
    // A value written elsewhere as JSON, taken as it is.
    JsonWriter& raw(std::string_view json) {
        separate();
        text += json;
        return *this;
    }
    // key(name).value(v) in one.
    template <typename T>
    JsonWriter& member(std::string_view name, const T& v) {
        return key(name).value(v);
    }

    // The document so far, with a line break at the end once it is whole.
    std::string document() const { return depth.empty() ? text + "\n" : text; }

private:
    JsonWriter& open(char bracket) {
        separate();
        text += bracket;
        depth.push_back(true);
        return *this;
    }
    JsonWriter& close(char bracket) {
        text += bracket;
        if (!depth.empty())
            depth.pop_back();
        return *this;
    }
    // A comma before every member but the first, and none between a key and its value.
    void separate() {
        if (afterKey) {
            afterKey = false;
            return;
        }
        if (!depth.empty()) {
            if (!depth.back())
                text += ',';
            depth.back() = false;
        }
    }
    void string(std::string_view words) {
        text += '"';
        for (const char c : words) {
            switch (c) {
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    text += escaped;
                } else {
                    text += c;
                }
            }
        }
        text += '"';
    }

    std::string text;
    std::vector<bool> depth; // per open object or array: no member written yet
    bool afterKey = false;
};

} // namespace halcyra

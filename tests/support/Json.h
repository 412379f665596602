// Reading the JSON the program writes for programs (--stats-json, --layout): a small reader for tests, which
// holds the whole document as a tree. A member or item that is not there reads as null, so a test can ask
// for a path and check what it found.
#pragma once

#include <string>
#include <vector>

namespace halcyra::test {

struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool flag = false;
    double number = 0.0;
    std::string text;
    std::vector<Json> items;        // an array's items, or an object's values
    std::vector<std::string> names; // an object's member names, one for each of its items

    // The document in `text`; null (and `error` set) when it is not one JSON value.
    static Json parse(const std::string& text, std::string* error = nullptr);

    bool isNull() const { return kind == Kind::Null; }
    const Json& operator[](const std::string& key) const;
    const Json& operator[](size_t index) const;
    size_t size() const { return items.size(); }
};

} // namespace halcyra::test

// CommandOptions: reading the long options of halcyra and of its tools with getopt_long, one way for all
// three. Options are "--name", "--name value" or "--name=value"; "-h" stands for "--help" where a tool
// offers it. Names must be written in full (getopt_long's abbreviations are refused, so that a later option
// cannot change what an old command line means), and arguments that are no options are handed on in order.
// Header only: the tools include it without linking the program's libraries.
#pragma once

#include <getopt.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace halcyra {

struct OptionSpec {
    const char* name; // without the dashes
    bool takesValue;
};

// Reads argv in order: every option goes to `take` with its name and value ("" when it takes none), every
// other argument to `operand` (null: refused). Either returns false, with `error` set, to stop. False with a
// one-line reason in `error` for an unknown or abbreviated option, a missing value, a value given to an
// option that takes none, or an operand where none is wanted.
inline bool readOptions(int argc, char** argv, const std::vector<OptionSpec>& specs,
                        const std::function<bool(const std::string& name, const std::string& value)>& take,
                        const std::function<bool(const std::string& argument)>& operand, std::string& error) {
    std::vector<option> table;
    for (size_t i = 0; i < specs.size(); ++i)
        table.push_back({specs[i].name, specs[i].takesValue ? required_argument : no_argument, nullptr,
                         static_cast<int>(i) + 256});
    table.push_back({nullptr, 0, nullptr, 0});
    const auto named = [&](const OptionSpec& spec) { return std::string("--") + spec.name; };
    // getopt keeps its place in globals: a fresh scan each time, without messages of its own.
    optind = 0;
    opterr = 0;
    for (;;) {
        const int at = optind == 0 ? 1 : optind;
        int found = -1;
        const int code = getopt_long(argc, argv, "-:h", table.data(), &found);
        if (code == -1)
            return true;
        const char* text = at < argc ? argv[at] : "";
        if (code == 1) {
            if (!operand) {
                error = "unexpected argument '" + std::string(optarg) + "' (see --help)";
                return false;
            }
            if (!operand(optarg))
                return false;
            continue;
        }
        if (code == 'h') {
            if (!take("help", ""))
                return false;
            continue;
        }
        if (code >= 256) {
            const OptionSpec& spec = specs[static_cast<size_t>(code - 256)];
            const std::string full = named(spec);
            const size_t length = full.size();
            if (std::strncmp(text, full.c_str(), length) != 0 ||
                (text[length] != '\0' && text[length] != '=')) {
                error = "unknown option '" + std::string(text) + "' (see --help)";
                return false;
            }
            if (!take(spec.name, optarg != nullptr ? optarg : ""))
                return false;
            continue;
        }
        // A known option with a missing value or an unwanted one, or an unknown option.
        std::string name = text;
        name = name.substr(0, name.find('='));
        for (const OptionSpec& spec : specs)
            if (name == named(spec)) {
                error = "option '" + name + "' " + (spec.takesValue ? "needs a value" : "takes no value");
                return false;
            }
        error = "unknown option '" + std::string(text) + "' (see --help)";
        return false;
    }
}

} // namespace halcyra

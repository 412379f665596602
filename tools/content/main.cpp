// content: makes the production's pictures, models, camera paths and lists.
//   content --out DIR --packet DIR2   textures/…, models/… and the four lists under DIR, the pictures that
//                                     go into data.qz under DIR2
//   content --banner-source FILE      the setup dialog's banner as C++ source
//   content --icon FILE               the desktop icon, a 256 x 256 PNG with alpha
//   content --contact-sheet FILE      every picture on one PNG, to look them over

#include "ContentWriter.h"
#include "core/CommandOptions.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    using namespace halcyra::tools;
    const char* const usage = "usage: content [--out DIR --packet DIR] [--banner-source FILE] [--icon FILE] "
                              "[--contact-sheet FILE]\n";
    try {
        std::string out, packet;
        bool any = false;
        std::string error;
        const bool read = halcyra::readOptions(
            argc, argv,
            {{"out", true},
             {"packet", true},
             {"banner-source", true},
             {"icon", true},
             {"contact-sheet", true}},
            [&](const std::string& name, const std::string& value) {
                any = true;
                if (name == "out")
                    out = value;
                else if (name == "packet")
                    packet = value;
                else if (name == "banner-source")
                    writeBannerSource(value);
                else if (name == "icon")
                    writeIcon(value);
                else if (name == "contact-sheet")
                    writeContactSheet(value);
                return true;
            },
            nullptr, error);
        if (!read || !any) {
            if (!read)
                std::fprintf(stderr, "content: %s\n", error.c_str());
            std::fputs(usage, stderr);
            return 1;
        }
        if (out.empty() != packet.empty()) {
            std::fprintf(stderr, "content: --out and --packet go together\n");
            return 1;
        }
        if (!out.empty())
            writeContent(out, packet);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "content: %s\n", failure.what());
        return 1;
    }
    return 0;
}

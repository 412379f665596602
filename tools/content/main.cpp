// content: makes the production's pictures, models, camera paths and lists.
//   content --out DIR --packet DIR2   textures/…, models/… and the four lists under DIR, the pictures that
//                                     go into data.qz under DIR2
//   content --banner-source FILE      the setup dialog's banner as C++ source
//   content --icon FILE               the desktop icon, a 256 x 256 PNG with alpha
//   content --contact-sheet FILE      every picture on one PNG, to look them over

#include "ContentWriter.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    using namespace halcyra::tools;
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: content [--out DIR --packet DIR] [--banner-source FILE] [--icon FILE] "
                             "[--contact-sheet FILE]\n");
        return 1;
    }
    try {
        std::string out, packet;
        for (int i = 1; i + 1 < argc; i += 2) {
            const std::string option = argv[i];
            const std::string value = argv[i + 1];
            if (option == "--out") {
                out = value;
            } else if (option == "--packet") {
                packet = value;
            } else if (option == "--banner-source") {
                writeBannerSource(value);
            } else if (option == "--icon") {
                writeIcon(value);
            } else if (option == "--contact-sheet") {
                writeContactSheet(value);
            } else {
                std::fprintf(stderr, "content: unknown option %s\n", option.c_str());
                return 1;
            }
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

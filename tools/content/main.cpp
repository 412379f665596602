// content: paints the production's pictures and writes them beside the program.
//   content --out DIR                 textures/…, textures/tex and textures/logo.png under DIR
//   content --banner-source FILE      the setup dialog's banner as C++ source
//   content --contact-sheet FILE      every picture on one PNG, to look them over

#include "ContentWriter.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    using namespace halcyra::tools;
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: content [--out DIR] [--banner-source FILE] [--contact-sheet FILE]\n");
        return 1;
    }
    try {
        for (int i = 1; i + 1 < argc; i += 2) {
            const std::string option = argv[i];
            const std::string value = argv[i + 1];
            if (option == "--out") {
                writeContent(value);
            } else if (option == "--banner-source") {
                writeBannerSource(value);
            } else if (option == "--contact-sheet") {
                writeContactSheet(value);
            } else {
                std::fprintf(stderr, "content: unknown option %s\n", option.c_str());
                return 1;
            }
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "content: %s\n", failure.what());
        return 1;
    }
    return 0;
}

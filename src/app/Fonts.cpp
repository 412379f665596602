#include "app/Fonts.h"

#include <fontconfig/fontconfig.h>

#include <cstring>

namespace halcyra {

std::string findFontFile(const char* pattern, const char* family) {
    if (!FcInit())
        return {};
    std::string path;
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (query == nullptr)
        return {};
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, query, &result)) {
        FcChar8* file = nullptr;
        FcChar8* matchedFamily = nullptr;
        const bool familyOk =
            family == nullptr || (FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch &&
                                  std::strcmp(reinterpret_cast<const char*>(matchedFamily), family) == 0);
        if (familyOk && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(query);
    return path;
}

} // namespace halcyra

// Font files by name, through fontconfig. The dialog and the loading screen's bitmap font find the faces
// the machine already has; nothing is fetched.
#pragma once

#include <string>

namespace halcyra {

// The file of the best match for a fontconfig pattern such as "Liberation Mono:bold", or "" when the
// machine has no font at all. With `family` given, a match of another family counts as no match.
std::string findFontFile(const char* pattern, const char* family = nullptr);

} // namespace halcyra

#include "core/DisplayConfig.h"

namespace halcyra {

DisplayConfig& DisplayConfig::instance() {
    static DisplayConfig config;
    return config;
}

} // namespace halcyra

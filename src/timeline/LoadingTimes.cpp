#include "timeline/LoadingTimes.h"

#include <cstdio>

namespace halcyra {

const char* LoadingTimes::stageName(int stage) {
    static const char* const names[StageCount] = {
        "logo",       "data packet", "engine",          "texture list",   "model list", "camera list",
        "light list", "scenes",      "texture uploads", "loading frames", "music open", "first scene frame"};
    return stage >= 0 && stage < StageCount ? names[stage] : "";
}

void LoadingTimes::writeJson(JsonWriter& json) const {
    json.key("stages").beginArray();
    for (int i = 0; i < StageCount; ++i) {
        json.beginObject()
            .member("name", stageName(i))
            .member("wallMs", stages[i].wall)
            .member("cpuMs", stages[i].cpu);
        if (residentAfter[i] > 0.0)
            json.member("mibAfter", residentAfter[i]);
        json.endObject();
    }
    json.endArray();
    json.key("pauses").beginObject().member("wallMs", pauses.wall).member("cpuMs", pauses.cpu).endObject();
    json.member("loadingFrames", loadingFrames);
}

std::string LoadingTimes::report() const {
    std::string text = "loading stage       wall ms  cpu ms  MiB after\n";
    char line[96];
    Figure sum;
    for (int i = 0; i < StageCount; ++i) {
        std::snprintf(line, sizeof line, "  %-17s %7.1f %7.1f", stageName(i), stages[i].wall, stages[i].cpu);
        text += line;
        if (residentAfter[i] > 0.0) {
            std::snprintf(line, sizeof line, "  %9.1f", residentAfter[i]);
            text += line;
        }
        if (i == LoadingFrames) {
            std::snprintf(line, sizeof line, "  (%d frames)", loadingFrames);
            text += line;
        }
        text += '\n';
        sum.wall += stages[i].wall;
        sum.cpu += stages[i].cpu;
    }
    std::snprintf(line, sizeof line, "  %-17s %7.1f %7.1f\n", "sum", sum.wall, sum.cpu);
    text += line;
    std::snprintf(line, sizeof line, "  %-17s %7.1f %7.1f  (not in the sum)\n", "the two pauses", pauses.wall,
                  pauses.cpu);
    text += line;
    return text;
}

} // namespace halcyra

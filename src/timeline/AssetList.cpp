#include "timeline/AssetList.h"

#include "core/Message.h"
#include "core/Platform.h"

#include <cctype>
#include <cstdio>
#include <memory>

namespace halcyra {

ImageKind textureKindOf(const std::string& line) {
    if (line.find(".jpg") != std::string::npos)
        return ImageKind::Jpeg;
    if (line.find(".png") != std::string::npos)
        return ImageKind::Png;
    return ImageKind::Tga;
}

std::string textureNameOf(const std::string& line) {
    return line.size() > 9 ? line.substr(9) : std::string();
}

std::string modelNameOf(const std::string& line) {
    return line.size() > 11 ? line.substr(7, line.size() - 11) : std::string();
}

namespace {

enum class LineRead { Line, TooLong, End };

// Reads up to the next LF (consumed, not kept) or the end of the file. A CR before the LF is dropped, so
// lists saved with CR LF ends read like LF ones.
LineRead readLine(std::FILE* file, std::string& line) {
    line.clear();
    bool tooLong = false;
    int c = std::fgetc(file);
    if (c == EOF)
        return LineRead::End;
    for (; c != EOF && c != '\n'; c = std::fgetc(file)) {
        if (line.size() < maxListLineLength + 1)
            line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.size() > maxListLineLength)
        tooLong = true;
    return tooLong ? LineRead::TooLong : LineRead::Line;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

int readAssetList(const char* path, size_t minimumLength,
                  const std::function<void(const std::string* line)>& visit) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(dataFilePath(path).c_str(), "rb"));
    if (!file) {
        showMessage(std::string("Asset list ") + path + " could not be opened.");
        return 0;
    }
    int count = 0;
    if (std::fscanf(file.get(), "%d", &count) != 1) {
        showMessage(std::string("Asset list ") + path + " does not start with its number of lines.");
        return 0;
    }
    // The count is followed by any run of white space, blank lines and the next line's leading blanks too.
    int c = std::fgetc(file.get());
    while (c != EOF && std::isspace(c))
        c = std::fgetc(file.get());
    if (c != EOF)
        std::ungetc(c, file.get());

    int visited = 0;
    std::string line;
    for (int i = 0; i < count; ++i) {
        const LineRead read = readLine(file.get(), line);
        if (read == LineRead::End) {
            showMessage(std::string("Asset list ") + path + " announces " + std::to_string(count) +
                        " lines but holds " + std::to_string(i) + ".");
            break;
        }
        const std::string where = std::string("Asset list ") + path + ", entry " + std::to_string(i + 1);
        if (read == LineRead::TooLong) {
            showMessage(where + ": longer than " + std::to_string(maxListLineLength) +
                        " characters; skipped.");
            visit(nullptr);
        } else if (line.size() < minimumLength) {
            showMessage(where + ": \"" + line + "\" is too short to name an asset; skipped.");
            visit(nullptr);
        } else {
            visit(&line);
        }
        ++visited;
    }
    return visited;
}

} // namespace halcyra

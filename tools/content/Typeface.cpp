#include "Typeface.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace halcyra::tools {
namespace {

// The font file of exactly this family and style, or "" when the machine has none.
std::string findFace(const std::string& family, const std::string& style, int& faceIndex) {
    if (!FcInit())
        return {};
    FcPattern* query = FcPatternCreate();
    FcPatternAddString(query, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(query, FC_STYLE, reinterpret_cast<const FcChar8*>(style.c_str()));
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result = FcResultNoMatch;
    std::string path;
    if (FcPattern* match = FcFontMatch(nullptr, query, &result)) {
        // fontconfig always answers with something; only the very family and style will do.
        bool familyMatches = false;
        FcChar8* value = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i)
            familyMatches = familyMatches || family == reinterpret_cast<const char*>(value);
        bool styleMatches = false;
        for (int i = 0; FcPatternGetString(match, FC_STYLE, i, &value) == FcResultMatch; ++i)
            styleMatches = styleMatches || style == reinterpret_cast<const char*>(value);
        FcChar8* file = nullptr;
        if (familyMatches && styleMatches && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            path = reinterpret_cast<const char*>(file);
            if (FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex) != FcResultMatch)
                faceIndex = 0;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(query);
    return path;
}

std::string packageOf(const std::string& family) {
    if (family.rfind("Liberation", 0) == 0)
        return "fonts-liberation";
    if (family.rfind("DejaVu", 0) == 0)
        return "fonts-dejavu-core";
    return "the package that provides it";
}

// A rendered glyph: coverage rows top first, placed relative to the pen (left) and baseline (top, upwards).
struct GlyphImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<float> coverage;
};

} // namespace

struct Typeface::Faces {
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    void setSize(double size) const {
        FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(size * 64.0)), 72, 72);
    }

    // Loads and renders one glyph at a pen offset of (dx, dy) 64ths of a pixel (y upwards).
    GlyphImage render(unsigned index, const TextStyle& style, long dx, long dy) const {
        FT_Matrix matrix{static_cast<FT_Fixed>(std::lround(style.squeeze * 65536.0)), 0, 0, 0x10000};
        FT_Vector delta{dx, dy};
        FT_Set_Transform(face, &matrix, &delta);
        GlyphImage image;
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
            return image;
        FT_GlyphSlot slot = face->glyph;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE && style.weight != 0.0)
            FT_Outline_Embolden(&slot->outline, static_cast<FT_Pos>(std::lround(style.weight * 64.0)));
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            return image;
        const FT_Bitmap& bitmap = slot->bitmap;
        image.left = slot->bitmap_left;
        image.top = slot->bitmap_top;
        image.width = static_cast<int>(bitmap.width);
        image.rows = static_cast<int>(bitmap.rows);
        image.coverage.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.rows));
        for (int r = 0; r < image.rows; ++r)
            for (int c = 0; c < image.width; ++c)
                image.coverage[static_cast<size_t>(r * image.width + c)] =
                    bitmap.buffer[r * bitmap.pitch + c] * (1.0f / 255.0f);
        return image;
    }

    double advance(unsigned index, const TextStyle& style) const {
        FT_Set_Transform(face, nullptr, nullptr);
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
            return 0.0;
        return face->glyph->linearHoriAdvance / 65536.0 * style.squeeze;
    }

    double kerning(unsigned left, unsigned right, const TextStyle& style) const {
        if (!FT_HAS_KERNING(face))
            return 0.0;
        FT_Vector k{};
        if (FT_Get_Kerning(face, left, right, FT_KERNING_UNSCALED, &k) != 0)
            return 0.0;
        return k.x * style.size / face->units_per_EM * style.squeeze;
    }

    // Top of a glyph's ink above the baseline, in pixels.
    double inkTopOf(char character, const TextStyle& style) const {
        const unsigned index = FT_Get_Char_Index(face, static_cast<FT_ULong>(character));
        return index == 0 ? style.size * 0.5 : render(index, style, 0, 0).top;
    }
};

Typeface::Typeface(const std::string& family, const std::string& style) : faces(std::make_unique<Faces>()) {
    int faceIndex = 0;
    path = findFace(family, style, faceIndex);
    if (path.empty()) {
        throw std::runtime_error("no font \"" + family + " " + style + "\" on this machine (install " +
                                 packageOf(family) + ")");
    }
    if (FT_Init_FreeType(&faces->library) != 0)
        throw std::runtime_error("FreeType cannot start");
    if (FT_New_Face(faces->library, path.c_str(), faceIndex, &faces->face) != 0)
        throw std::runtime_error("FreeType cannot read the font file " + path);
}

Typeface::~Typeface() {
    if (faces->face != nullptr)
        FT_Done_Face(faces->face);
    if (faces->library != nullptr)
        FT_Done_FreeType(faces->library);
}

TextLine Typeface::layout(std::string_view text, const TextStyle& style) const {
    faces->setSize(style.size);
    TextLine line;
    std::vector<GlyphImage> images;
    std::vector<double> advances;
    for (const char character : text) {
        const unsigned index =
            FT_Get_Char_Index(faces->face, static_cast<FT_ULong>(static_cast<uint8_t>(character)));
        line.glyphs.push_back({index, 0.0});
        images.push_back(faces->render(index, style, 0, 0));
        advances.push_back(faces->advance(index, style));
    }

    // Optical spacing compares, row by row across the x-height (or cap height), the gap between the right
    // edge of one letter and the left edge of the next, with open rows counting as a capped gap. Each pair
    // then moves part of the way towards the gap that two straight stems ("nn" or "HH") have.
    const bool lowercase =
        std::any_of(text.begin(), text.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; });
    const double bandTop = faces->inkTopOf(lowercase ? 'x' : 'H', style);
    const double cap = 0.3 * style.size * style.squeeze;
    auto edge = [](const GlyphImage& image, int rowFromBaseline, bool right) {
        const int r = image.top - 1 - rowFromBaseline;
        if (r < 0 || r >= image.rows)
            return std::nan("");
        for (int i = 0; i < image.width; ++i) {
            const int c = right ? image.width - 1 - i : i;
            if (image.coverage[static_cast<size_t>(r * image.width + c)] > 0.35f)
                return static_cast<double>(image.left + c + (right ? 1 : 0));
        }
        return std::nan("");
    };
    auto opticalGap = [&](const GlyphImage& a, const GlyphImage& b, double distance) {
        const int rows = std::max(1, static_cast<int>(bandTop));
        double sum = 0.0;
        for (int y = 0; y < rows; ++y) {
            const double right = edge(a, y, true);
            const double left = edge(b, y, false);
            const double gap = std::isnan(right) || std::isnan(left) ? cap : distance + left - right;
            sum += std::min(gap, cap);
        }
        return sum / rows;
    };
    double reference = 0.0;
    if (style.opticalSpacing > 0.0) {
        const unsigned stem = FT_Get_Char_Index(faces->face, lowercase ? 'n' : 'H');
        const GlyphImage image = faces->render(stem, style, 0, 0);
        reference = opticalGap(image, image, faces->advance(stem, style));
    }

    double pen = 0.0;
    for (size_t i = 0; i < line.glyphs.size(); ++i) {
        if (i > 0) {
            double step = advances[i - 1] +
                          faces->kerning(line.glyphs[i - 1].index, line.glyphs[i].index, style) +
                          style.tracking * style.size * style.squeeze;
            if (style.opticalSpacing > 0.0 && !images[i - 1].coverage.empty() &&
                !images[i].coverage.empty()) {
                const double gap = opticalGap(images[i - 1], images[i], step);
                const double limit = 0.12 * style.size * style.squeeze;
                step += std::clamp((reference - gap) * style.opticalSpacing, -limit, limit);
            }
            pen += step;
        }
        line.glyphs[i].x = pen;
    }
    line.advance = line.glyphs.empty() ? 0.0 : pen + advances.back();

    bool first = true;
    for (size_t i = 0; i < images.size(); ++i) {
        const GlyphImage& image = images[i];
        if (image.coverage.empty())
            continue;
        const double left = line.glyphs[i].x + image.left;
        const double right = left + image.width;
        const double top = image.top;
        const double bottom = image.top - image.rows;
        line.inkLeft = first ? left : std::min(line.inkLeft, left);
        line.inkRight = first ? right : std::max(line.inkRight, right);
        line.inkTop = first ? top : std::max(line.inkTop, top);
        line.inkBottom = first ? bottom : std::min(line.inkBottom, bottom);
        first = false;
    }
    return line;
}

void Typeface::draw(Raster& coverage, const TextLine& line, const TextStyle& style, double x,
                    double baseline) const {
    faces->setSize(style.size);
    const double baseRow = std::floor(baseline);
    const long dy = -std::lround((baseline - baseRow) * 64.0);
    for (const PlacedGlyph& glyph : line.glyphs) {
        const double penX = x + glyph.x;
        const double baseColumn = std::floor(penX);
        const GlyphImage image =
            faces->render(glyph.index, style, std::lround((penX - baseColumn) * 64.0), dy);
        for (int r = 0; r < image.rows; ++r) {
            const int y = static_cast<int>(baseRow) - image.top + r;
            if (y < 0 || y >= coverage.height())
                continue;
            for (int c = 0; c < image.width; ++c) {
                const int px = static_cast<int>(baseColumn) + image.left + c;
                if (px < 0 || px >= coverage.width())
                    continue;
                const float a = image.coverage[static_cast<size_t>(r * image.width + c)];
                float& d = coverage.at(px, y);
                d = d + a - d * a;
            }
        }
    }
}

TextLine Typeface::drawCentred(Raster& coverage, std::string_view text, const TextStyle& style, double x,
                               double baseline) const {
    const TextLine line = layout(text, style);
    draw(coverage, line, style, x - (line.inkLeft + line.inkRight) * 0.5, baseline);
    return line;
}

} // namespace halcyra::tools

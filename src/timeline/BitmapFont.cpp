#include "timeline/BitmapFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace halcyra {
namespace {

constexpr int firstCode = 32;
constexpr int codeCount = 96;

// One glyph as a GL bitmap: rows bottom-up, one bit per pixel, most significant bit first.
void compileGlyph(FT_Face face, int code) {
    if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) {
        glBitmap(0, 0, 0.0f, 0.0f, 0.0f, 0.0f, nullptr);
        return;
    }
    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    const float advance = static_cast<float>(glyph->advance.x) / 64.0f;
    if (bitmap.rows == 0 || bitmap.width == 0 || bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
        glBitmap(0, 0, 0.0f, 0.0f, advance, 0.0f, nullptr);
        return;
    }
    const int rowBytes = static_cast<int>((bitmap.width + 7) / 8);
    const int rows = static_cast<int>(bitmap.rows);
    std::vector<GLubyte> flipped(static_cast<size_t>(rowBytes) * rows);
    for (int row = 0; row < rows; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        std::memcpy(&flipped[static_cast<size_t>(rows - 1 - row) * rowBytes], source, rowBytes);
    }
    glBitmap(static_cast<GLsizei>(bitmap.width), rows, static_cast<float>(-glyph->bitmap_left),
             static_cast<float>(rows - glyph->bitmap_top), advance, 0.0f, flipped.data());
}

} // namespace

void BitmapFont::create(const std::string& fontFile, int height) {
    listBase = glGenLists(codeCount);
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    const bool ready = !fontFile.empty() && FT_Init_FreeType(&library) == 0 &&
                       FT_New_Face(library, fontFile.c_str(), 0, &face) == 0 &&
                       FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height)) == 0;

    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < codeCount; ++i) {
        glNewList(listBase + i, GL_COMPILE);
        if (ready)
            compileGlyph(face, firstCode + i);
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);

    if (face != nullptr)
        FT_Done_Face(face);
    if (library != nullptr)
        FT_Done_FreeType(library);
}

void BitmapFont::print(int x, int y, Rgba color, const char* format, ...) {
    const GLfloat rgba[4] = {color.r, color.g, color.b, color.a};
    glColor4fv(rgba);
    glRasterPos2i(x, y);
    if (format == nullptr)
        return;
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    glPushAttrib(GL_LIST_BIT);
    glListBase(listBase - firstCode);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void BitmapFont::destroy() {
    if (listBase != 0)
        glDeleteLists(listBase, codeCount);
    listBase = 0;
}

} // namespace halcyra

#include "core/GlExtensions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace halcyra {
namespace {

TEST(HasExtension, FindsNameFollowedByBlankOrEnd) {
    EXPECT_TRUE(hasExtension("GL_ARB_multitexture", "GL_ARB_multitexture GL_EXT_blend_color"));
    EXPECT_TRUE(hasExtension("GL_EXT_blend_color", "GL_ARB_multitexture GL_EXT_blend_color"));
    EXPECT_FALSE(hasExtension("GL_ARB_imaging", "GL_ARB_multitexture GL_EXT_blend_color"));
}

TEST(HasExtension, TailOfLongerNameCountsBecauseOnlyTheNextCharacterIsExamined) {
    EXPECT_TRUE(hasExtension("GL_ARB_multisample", "WGL_ARB_multisample WGL_ARB_pbuffer"));
    EXPECT_FALSE(hasExtension("GL_ARB_multisample", "GLX_ARB_multisample"));
}

TEST(HasExtension, LaterExactOccurrenceIsFoundAfterLongerPrefixMatch) {
    const char* list = "GL_ARB_shader_objects_extra GL_ARB_fragment_shader GL_ARB_shader_objects";
    EXPECT_TRUE(hasExtension("GL_ARB_shader_objects", list));
    EXPECT_FALSE(hasExtension("GL_ARB_shader_objects", "GL_ARB_shader_objects_extra GL_ARB_fragment_shader"));
}

TEST(HasExtension, NullListOrNameFindsNothing) {
    EXPECT_FALSE(hasExtension("GL_ARB_multitexture", nullptr));
    EXPECT_FALSE(hasExtension(nullptr, "GL_ARB_multitexture"));
    EXPECT_FALSE(hasExtension("", "GL_ARB_multitexture"));
}

TEST(IsExtensionSupported, SearchesBothStrings) {
    EXPECT_TRUE(isExtensionSupported("GL_EXT_blend_color", "GL_EXT_blend_color", nullptr));
    EXPECT_TRUE(isExtensionSupported("GL_EXT_blend_color", nullptr, "GL_EXT_blend_color"));
    EXPECT_TRUE(isExtensionSupported("WGL_ARB_pbuffer", "GL_ARB_multitexture", "WGL_ARB_pbuffer"));
    EXPECT_FALSE(isExtensionSupported("GL_EXT_blend_color", nullptr, nullptr));
}

TEST(GpuVendorClass, AtiWinsOverNvidiaAndEveryOtherVendorIsOne) {
    EXPECT_EQ(gpuVendorClass("NVIDIA Corporation"), 2);
    EXPECT_EQ(gpuVendorClass("ATI Technologies Inc."), 1);
    EXPECT_EQ(gpuVendorClass("ATI Technologies and NVIDIA"), 1);
    EXPECT_EQ(gpuVendorClass("NVIDIA and ATI Technologies"), 1);
    EXPECT_EQ(gpuVendorClass("Mesa"), 1);
    EXPECT_EQ(gpuVendorClass(nullptr), 1);
}

// A driver whose entry points resolve except the ones named in `missing`.
struct FakeDriver {
    static std::set<std::string>& missing() {
        static std::set<std::string> names;
        return names;
    }
    static std::set<std::string>& asked() {
        static std::set<std::string> names;
        return names;
    }
    static void* lookup(const char* name) {
        asked().insert(name);
        static int anything;
        return missing().count(name) ? nullptr : &anything;
    }
    static GlPlatform platform(const char* contextExtensions = nullptr, bool swapControl = false) {
        GlPlatform result;
        result.getProcAddress = lookup;
        result.contextExtensions = contextExtensions;
        result.swapControl = swapControl;
        result.setSwapInterval = [](int) { return 1; };
        return result;
    }
};

class FillGlExtensions : public testing::Test {
protected:
    void SetUp() override {
        FakeDriver::missing().clear();
        FakeDriver::asked().clear();
    }
    GlExtensions record;
};

TEST_F(FillGlExtensions, SetsFlagsAndFetchesOnlyAdvertisedExtensions) {
    fillGlExtensions(record, "NVIDIA Corporation", "GL_ARB_multitexture GL_EXT_framebuffer_object",
                     FakeDriver::platform());
    EXPECT_EQ(record.GpuVendorClass, 2);
    EXPECT_TRUE(record.has(GlExtension::ArbMultitexture));
    EXPECT_TRUE(record.has(GlExtension::ExtFramebufferObject));
    EXPECT_FALSE(record.has(GlExtension::ArbShaderObjects));
    EXPECT_NE(record.glActiveTextureARB, nullptr);
    EXPECT_NE(record.glGenerateMipmapEXT, nullptr);
    EXPECT_EQ(record.glUseProgramObjectARB, nullptr);
    EXPECT_EQ(FakeDriver::asked().count("glUseProgramObjectARB"), 0u);
}

TEST_F(FillGlExtensions, MultisampleFlagComesFromContextStringTail) {
    fillGlExtensions(record, "Mesa", "GL_ARB_multitexture", FakeDriver::platform("WGL_ARB_multisample"));
    EXPECT_TRUE(record.has(GlExtension::ArbMultisample));
    EXPECT_NE(record.glSampleCoverageARB, nullptr);
}

TEST_F(FillGlExtensions, SwapControlStandsForTheWindowSystemsAndSetsTheInterval) {
    fillGlExtensions(record, "Mesa", "", FakeDriver::platform("GLX_EXT_swap_control", true));
    EXPECT_TRUE(record.has(GlExtension::WglExtSwapControl));
    ASSERT_NE(record.wglSwapIntervalEXT, nullptr);
    EXPECT_EQ(record.wglSwapIntervalEXT(1), 1);

    GlExtensions without;
    fillGlExtensions(without, "Mesa", "", FakeDriver::platform("GLX_ARB_create_context", false));
    EXPECT_FALSE(without.has(GlExtension::WglExtSwapControl));
    EXPECT_EQ(without.wglSwapIntervalEXT, nullptr);
}

TEST_F(FillGlExtensions, PbufferAndRenderTextureReadAsAbsentOnGlxAndEgl) {
    fillGlExtensions(
        record, "Mesa", "GL_ARB_multitexture",
        FakeDriver::platform("GLX_SGIX_pbuffer GLX_EXT_texture_from_pixmap EGL_KHR_surfaceless_context"));
    EXPECT_FALSE(record.has(GlExtension::WglArbPbuffer));
    EXPECT_FALSE(record.has(GlExtension::WglArbRenderTexture));
    EXPECT_FALSE(record.has(GlExtension::WglArbPixelFormat));
}

TEST_F(FillGlExtensions, MissingOptionalEntryPointsStayNullWithoutMessage) {
    FakeDriver::missing() = {"glActiveTextureARB", "glGenerateMipmapEXT", "glVertexAttrib1sARB"};
    fillGlExtensions(record, "Mesa", "GL_ARB_multitexture GL_EXT_framebuffer_object GL_ARB_vertex_shader",
                     FakeDriver::platform());
    EXPECT_EQ(record.glActiveTextureARB, nullptr);
    EXPECT_EQ(record.glGenerateMipmapEXT, nullptr);
    EXPECT_EQ(record.glVertexAttrib1sARB, nullptr);
    EXPECT_NE(record.glMultiTexCoord2fARB, nullptr);
}

TEST_F(FillGlExtensions, AbsentShaderObjectsLeaveLaterExtensionsProcessed) {
    fillGlExtensions(record, "Mesa", "GL_ARB_vertex_shader GL_ARB_vertex_buffer_object",
                     FakeDriver::platform());
    EXPECT_EQ(record.glCreateProgramObjectARB, nullptr);
    EXPECT_NE(record.glGetAttribLocationARB, nullptr);
    EXPECT_NE(record.glBindBufferARB, nullptr);
}

using FillGlExtensionsDeathTest = FillGlExtensions;

TEST_F(FillGlExtensionsDeathTest, MissingRequiredEntryPointEndsTheProcessNamingTheExtension) {
    FakeDriver::missing() = {"glGetShaderSourceARB"};
    EXPECT_EXIT(fillGlExtensions(record, "Mesa", "GL_ARB_shader_objects", FakeDriver::platform()),
                testing::ExitedWithCode(255), "error: Couldn't find functions for GL_ARB_shader_objects\\.");
}

TEST_F(FillGlExtensionsDeathTest, OnlyTheFirstFailingExtensionIsReported) {
    FakeDriver::missing() = {"glMultiTexCoord4fvARB", "glPointParameterfARB"};
    EXPECT_EXIT(fillGlExtensions(record, "Mesa", "GL_ARB_point_parameters GL_ARB_multitexture",
                                 FakeDriver::platform()),
                testing::ExitedWithCode(255),
                "^error: Couldn't find functions for GL_ARB_multitexture\\.\n$");
}

TEST_F(FillGlExtensionsDeathTest, VertexShaderIsFatalOnlyForItsAttributeLookups) {
    FakeDriver::missing() = {"glGetAttribLocationARB"};
    EXPECT_EXIT(fillGlExtensions(record, "Mesa", "GL_ARB_vertex_shader", FakeDriver::platform()),
                testing::ExitedWithCode(255), "Couldn't find functions for GL_ARB_vertex_shader\\.");
}

TEST(GlExtensionNames, FollowTheLoadersOrder) {
    EXPECT_STREQ(GlExtensions::name(GlExtension::WglArbPbuffer), "WGL_ARB_pbuffer");
    EXPECT_STREQ(GlExtensions::name(GlExtension::ArbShaderObjects), "GL_ARB_shader_objects");
    EXPECT_STREQ(GlExtensions::name(GlExtension::ArbVertexBufferObject), "GL_ARB_vertex_buffer_object");
    EXPECT_EQ(static_cast<int>(GlExtension::Count), 19);
}

} // namespace
} // namespace halcyra

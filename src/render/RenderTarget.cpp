#include "render/RenderTarget.h"

#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

namespace halcyra {

void RenderTarget::checkSupport() {
    const GlExtensions& ext = GlExtensions::instance();
    if (!ext.has(GlExtension::ExtFramebufferObject))
        fatalError("GL_EXT_framebuffer_object not supported");
    if (!ext.has(GlExtension::ArbDrawBuffers))
        showMessage("GL_ARB_draw_buffers not supported", "error", MessageIcon::Warning);
}

std::unique_ptr<RenderTarget> RenderTarget::create(int width, int height, int colorCount, bool mipmaps,
                                                   bool depthTexture, uint32_t internalFormat,
                                                   uint32_t format, uint32_t type) {
    if (!depthTexture && (colorCount < 1 || colorCount > maxColors)) {
        showMessage("A render target holds 1 to 4 colour textures, not " + std::to_string(colorCount) + ".");
        return nullptr;
    }
    const GlExtensions& ext = GlExtensions::instance();
    std::unique_ptr<RenderTarget> target(new RenderTarget());
    target->width = width;
    target->height = height;
    target->colorCount = colorCount;
    ext.glGenFramebuffersEXT(1, &target->framebuffer);
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target->framebuffer);

    auto newTexture = [&](int slot) {
        TextureBinding& binding = target->textures[slot];
        glGenTextures(1, &binding.id);
        binding.flag = 0;
        binding.value = 0;
        binding.target = GL_TEXTURE_2D;
        glBindTexture(GL_TEXTURE_2D, binding.id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        return binding.id;
    };

    if (depthTexture) {
        // Only depth is ever written or read: there is no colour buffer, and the framebuffer draws to and
        // reads from none.
        target->colorCount = 1;
        target->depthOnly = true;
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
        const GLuint texture = newTexture(0);
        const GLenum depthFormat = ext.GpuVendorClass == 2 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16;
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(depthFormat), width, height, 0, GL_DEPTH_COMPONENT,
                     GL_FLOAT, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE_ARB, GL_LUMINANCE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC_ARB, GL_LEQUAL);
        ext.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, texture, 0);
    } else {
        ext.glGenRenderbuffersEXT(1, &target->renderbuffer);
        ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target->renderbuffer);
        ext.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, width, height);
        ext.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                         target->renderbuffer);
        for (int i = 0; i < colorCount; ++i) {
            const GLuint texture = newTexture(i);
            glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0, format, type,
                         nullptr);
            if (mipmaps) {
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
                ext.glGenerateMipmapEXT(GL_TEXTURE_2D);
            } else {
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            }
            ext.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT + i, GL_TEXTURE_2D,
                                          texture, 0);
        }
    }
    if (ext.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT)
        fatalError("Error creating FBO.");
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, DisplayConfig::instance().screenFramebuffer);
    return target;
}

RenderTarget::~RenderTarget() {
    destroy();
}

void RenderTarget::bind() {
    if (bound)
        return;
    GlExtensions::instance().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, width, height);
    glDrawBuffer(depthOnly ? GL_NONE : GL_COLOR_ATTACHMENT0_EXT);
    bound = true;
}

void RenderTarget::unbind() {
    if (!bound)
        return;
    glPopAttrib();
    GlExtensions::instance().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT,
                                                  DisplayConfig::instance().screenFramebuffer);
    bound = false;
}

void RenderTarget::setDrawBuffer(uint32_t buffer) {
    if (bound)
        glDrawBuffer(buffer);
}

void RenderTarget::destroy() {
    if (framebuffer == 0)
        return;
    const GlExtensions& ext = GlExtensions::instance();
    ext.glDeleteFramebuffersEXT(1, &framebuffer);
    ext.glDeleteRenderbuffersEXT(1, &renderbuffer);
    for (int i = 0; i < colorCount; ++i)
        glDeleteTextures(1, &textures[i].id);
    framebuffer = 0;
    renderbuffer = 0;
}

} // namespace halcyra

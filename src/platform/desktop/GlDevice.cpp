#include "GlObjects.h"
#include "GlShaders.h"
#include "SdlShared.h"
#include "platform/D3DXMath.h"
#include "platform/GraphicsDevice.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

// The graphics device on OpenGL 3.3 core. One shader program reproduces the part of
// Direct3D 9's fixed-function pipeline that the game uses (one point light with range and
// attenuation lit at the vertices, material, specular switch, two texture stages,
// pre-transformed vertices); a second one draws the 2D pictures and text. The frame is drawn
// into a framebuffer of the back buffer's size and shown by copying it into the window,
// scaled to fit, so the window may have any size and the last frame can be read back for
// screenshots.
namespace platform {
namespace {

// A sampler for pictures: filtered as given, clamped at the edges.
CGlSampler PictureSampler(GLint filter) {
    GLuint name = 0;
    glGenSamplers(1, &name);
    CGlSampler sampler(name);
    glSamplerParameteri(name, GL_TEXTURE_MIN_FILTER, filter);
    glSamplerParameteri(name, GL_TEXTURE_MAG_FILTER, filter);
    glSamplerParameteri(name, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(name, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return sampler;
}

GLenum BlendFactor(std::uint32_t blend) {
    switch (blend) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_BLENDFACTOR:
        return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR:
        return GL_ONE_MINUS_CONSTANT_COLOR;
    default:
        return GL_ONE;
    }
}

D3DCOLORVALUE ColorValue(D3DCOLOR color) {
    return D3DCOLORVALUE{static_cast<float>((color >> 16) & 0xFFu) / 255.0f,
                         static_cast<float>((color >> 8) & 0xFFu) / 255.0f,
                         static_cast<float>(color & 0xFFu) / 255.0f,
                         static_cast<float>(color >> 24) / 255.0f};
}

void Uniform(GLint location, const D3DCOLORVALUE& color) {
    glUniform4f(location, color.r, color.g, color.b, color.a);
}

// True when the quad shows the texture's texels one for one on whole pixels, upright:
// sampling the nearest texel then gives exactly what filtering would, for less work.
bool IsTexelForPixel(const SScreenQuad& quad, int textureWidth, int textureHeight) {
    const SScreenVertex& a = quad.corners[0]; // top left
    const SScreenVertex& b = quad.corners[1]; // top right
    const SScreenVertex& c = quad.corners[2]; // bottom left
    const SScreenVertex& d = quad.corners[3]; // bottom right
    const auto whole = [](float value) { return value == std::floor(value); };
    const float w = static_cast<float>(textureWidth);
    const float h = static_cast<float>(textureHeight);
    return a.y == b.y && c.y == d.y && a.x == c.x && b.x == d.x && a.v == b.v && c.v == d.v &&
           a.u == c.u && b.u == d.u && whole(a.x) && whole(a.y) && whole(a.u * w) &&
           whole(a.v * h) && b.x - a.x == (b.u - a.u) * w && c.y - a.y == (c.v - a.v) * h &&
           b.x > a.x && c.y > a.y;
}

bool IsOpaque(const SImage& image) {
    return std::all_of(image.pixels.begin(), image.pixels.end(),
                       [](std::uint32_t pixel) { return (pixel >> 24) == 0xFFu; });
}

// The uniforms of the scene program.
struct SSceneUniforms {
    GLint instanced, world, view, projection, normalMatrix, preTransformed, hasColor, screenSize;
    GLint lighting, specular, materialDiffuse, materialAmbient, materialSpecular, materialEmissive,
        materialPower;
    GLint lightEnabled, lightPosition, lightDiffuse, lightAmbient, lightSpecular, lightRange,
        attenuation, globalAmbient, eye;
    GLint hasTexture0, hasTexture1, stage1Modulate, texture0, texture1;

    explicit SSceneUniforms(GLuint p)
        : instanced(glGetUniformLocation(p, "uInstanced")),
          world(glGetUniformLocation(p, "uWorld")), view(glGetUniformLocation(p, "uView")),
          projection(glGetUniformLocation(p, "uProjection")),
          normalMatrix(glGetUniformLocation(p, "uNormalMatrix")),
          preTransformed(glGetUniformLocation(p, "uPreTransformed")),
          hasColor(glGetUniformLocation(p, "uHasColor")),
          screenSize(glGetUniformLocation(p, "uScreenSize")),
          lighting(glGetUniformLocation(p, "uLighting")),
          specular(glGetUniformLocation(p, "uSpecular")),
          materialDiffuse(glGetUniformLocation(p, "uMaterialDiffuse")),
          materialAmbient(glGetUniformLocation(p, "uMaterialAmbient")),
          materialSpecular(glGetUniformLocation(p, "uMaterialSpecular")),
          materialEmissive(glGetUniformLocation(p, "uMaterialEmissive")),
          materialPower(glGetUniformLocation(p, "uMaterialPower")),
          lightEnabled(glGetUniformLocation(p, "uLightEnabled")),
          lightPosition(glGetUniformLocation(p, "uLightPosition")),
          lightDiffuse(glGetUniformLocation(p, "uLightDiffuse")),
          lightAmbient(glGetUniformLocation(p, "uLightAmbient")),
          lightSpecular(glGetUniformLocation(p, "uLightSpecular")),
          lightRange(glGetUniformLocation(p, "uLightRange")),
          attenuation(glGetUniformLocation(p, "uAttenuation")),
          globalAmbient(glGetUniformLocation(p, "uGlobalAmbient")),
          eye(glGetUniformLocation(p, "uEye")),
          hasTexture0(glGetUniformLocation(p, "uHasTexture0")),
          hasTexture1(glGetUniformLocation(p, "uHasTexture1")),
          stage1Modulate(glGetUniformLocation(p, "uStage1Modulate")),
          texture0(glGetUniformLocation(p, "uTexture0")),
          texture1(glGetUniformLocation(p, "uTexture1")) {}
};

struct SScreenUniforms {
    GLint screenSize, hasTexture, color, texture;
    explicit SScreenUniforms(GLuint p)
        : screenSize(glGetUniformLocation(p, "uScreenSize")),
          hasTexture(glGetUniformLocation(p, "uHasTexture")),
          color(glGetUniformLocation(p, "uColor")), texture(glGetUniformLocation(p, "uTexture")) {}
};

class CGlDevice final : public IGraphicsDevice, private IWaitingDraws {
  public:
    CGlDevice(std::shared_ptr<SSdlShared> shared, SDL_GLContext context, int width, int height,
              bool vsync, CGlProgram scene, CGlProgram screen)
        : m_Shared(std::move(shared)), m_Context(context), m_iWidth(width), m_iHeight(height),
          m_SceneProgram(std::move(scene)), m_ScreenProgram(std::move(screen)),
          m_Scene(m_SceneProgram.Get()), m_Screen(m_ScreenProgram.Get()) {
        // With vsync a swap waits for the vertical retrace, late ones tearing rather than
        // waiting a whole retrace more when only that is offered; without, frames are shown
        // at once. Not every display can switch it (Xvfb cannot): it is only a wish, and
        // the frame loop holds the frame rate to the display's by itself.
        if (!vsync || (SDL_GL_SetSwapInterval(1) != 0 && SDL_GL_SetSwapInterval(-1) != 0)) {
            SDL_GL_SetSwapInterval(0);
        }

        GLuint name = 0;
        glGenVertexArrays(1, &name);
        m_VertexArray = CGlVertexArray(name);
        glBindVertexArray(m_VertexArray.Get());
        glGenBuffers(1, &name);
        m_StreamBuffer = CGlBuffer(name);
        glGenBuffers(1, &name);
        m_InstanceBuffer = CGlBuffer(name);
        // Room for a frame of the menu's backdrop and more: no frame allocates for them.
        m_Waiting.reserve(kWaitingRoom);
        m_WaitingDone.reserve(kWaitingRoom);
        m_Instances.reserve(kWaitingRoom);
        for (CGlSampler& sampler : m_StageSamplers) {
            glGenSamplers(1, &name);
            sampler = CGlSampler(name);
        }
        m_ScreenSampler = PictureSampler(GL_LINEAR);
        m_ScreenNearestSampler = PictureSampler(GL_NEAREST);

        ChooseTarget();

        D3DXMatrixIdentity(&m_Transforms[0]);
        D3DXMatrixIdentity(&m_Transforms[1]);
        D3DXMatrixIdentity(&m_Transforms[2]);
        for (int stage = 0; stage < 2; ++stage) {
            ApplySampler(stage);
        }
    }

    ~CGlDevice() override {
        m_Link->device = nullptr; // what it made may outlive it: nothing waits any more
        m_Waiting.clear();
        // The GL objects go while the context is still there.
        m_InstanceBuffer = CGlBuffer();
        m_VertexArray = CGlVertexArray();
        m_StreamBuffer = CGlBuffer();
        for (CGlSampler& sampler : m_StageSamplers) {
            sampler = CGlSampler();
        }
        m_ScreenSampler = CGlSampler();
        m_Framebuffer = CGlFramebuffer();
        m_ColorBuffer = CGlRenderbuffer();
        m_DepthBuffer = CGlRenderbuffer();
        m_SceneProgram = CGlProgram();
        m_ScreenProgram = CGlProgram();
        SDL_GL_DeleteContext(m_Context);
    }
    CGlDevice(const CGlDevice&) = delete;
    CGlDevice& operator=(const CGlDevice&) = delete;

    int GetBackBufferWidth() const override { return m_iWidth; }
    int GetBackBufferHeight() const override { return m_iHeight; }

    void Clear(D3DCOLOR color, float z, std::uint32_t stencil) override {
        DrawWaiting();
        const D3DCOLORVALUE c = ColorValue(color);
        m_bFrameDrawn = true;
        glBindFramebuffer(GL_FRAMEBUFFER, m_bDirect ? 0 : m_Framebuffer.Get());
        glViewport(0, 0, m_iWidth, m_iHeight);
        glClearColor(c.r, c.g, c.b, c.a);
        glClearDepth(z);
        glClearStencil(static_cast<GLint>(stencil));
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDepthMask(GL_TRUE);
        glStencilMask(0xFFFFFFFFu);
        glDisable(GL_SCISSOR_TEST);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
    void BeginScene() override {}
    void EndScene() override {}

    bool Present() override {
        DrawWaiting();
        if (m_bFrameDrawn) {
            m_bKept = !m_bDirect || (m_bKeepFrame && KeepWindowFrame());
        }
        // A frame drawn into the window is shown by the swap alone; one drawn into the
        // framebuffer, or shown again from there, is copied into the window first.
        if (m_bKept && (!m_bDirect || !m_bFrameDrawn)) {
            ShowFramebuffer();
        }
        SDL_GL_SwapWindow(m_Shared->window);
        m_bFrameDrawn = false;
        m_bKeepFrame = false;
        ChooseTarget();
        const GLenum error = glGetError();
        return error != GL_OUT_OF_MEMORY;
    }
    void KeepFrame() override { m_bKeepFrame = true; }

    void SetRenderState(D3DRENDERSTATETYPE state, std::uint32_t value) override {
        switch (state) {
        case D3DRS_ZENABLE:
            m_State.zEnable = value != 0;
            break;
        case D3DRS_ZWRITEENABLE:
            m_State.zWrite = value != 0;
            break;
        case D3DRS_SRCBLEND:
            m_State.srcBlend = value;
            break;
        case D3DRS_DESTBLEND:
            m_State.destBlend = value;
            break;
        case D3DRS_CULLMODE:
            m_State.cullMode = value;
            break;
        case D3DRS_ALPHABLENDENABLE:
            m_State.alphaBlend = value != 0;
            break;
        case D3DRS_SPECULARENABLE:
            m_State.specular = value != 0;
            break;
        case D3DRS_LIGHTING:
            m_State.lighting = value != 0;
            break;
        case D3DRS_AMBIENT:
            m_State.ambient = value;
            break;
        case D3DRS_NORMALIZENORMALS:
            break; // normals are always normalised
        case D3DRS_BLENDFACTOR:
            m_State.blendFactor = value;
            break;
        case D3DRS_SCISSORTESTENABLE:
            m_State.scissor = value != 0;
            break;
        }
    }
    void SetScissorRect(const SRect& rect) override { m_State.scissorRect = rect; }

    void SetSamplerState(int stage, D3DSAMPLERSTATETYPE state, std::uint32_t value) override {
        DrawWaiting();
        if (stage < 0 || stage > 1) {
            return;
        }
        SSampler& sampler = m_Samplers[static_cast<std::size_t>(stage)];
        switch (state) {
        case D3DSAMP_MAGFILTER:
            sampler.mag = value;
            break;
        case D3DSAMP_MINFILTER:
            sampler.min = value;
            break;
        case D3DSAMP_MIPFILTER:
            sampler.mip = value;
            break;
        }
        ApplySampler(stage);
    }

    void SetTextureStageState(int stage, D3DTEXTURESTAGESTATETYPE state,
                              std::uint32_t value) override {
        if (stage == 1 && state == D3DTSS_COLOROP) {
            m_State.stage1Modulate = value == D3DTOP_MODULATE;
        }
    }

    void SetTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX& matrix) override {
        switch (state) {
        case D3DTS_WORLD:
            m_Transforms[0] = matrix;
            break;
        case D3DTS_VIEW: {
            m_Transforms[1] = matrix;
            D3DXMATRIX inverse;
            D3DXMatrixInverse(&inverse, nullptr, &matrix);
            m_Eye = D3DXVECTOR3{inverse.m[3][0], inverse.m[3][1], inverse.m[3][2]};
            break;
        }
        case D3DTS_PROJECTION:
            m_Transforms[2] = matrix;
            break;
        }
    }

    void SetMaterial(const D3DMATERIAL9& material) override { m_Material = material; }
    void SetLight(int index, const D3DLIGHT9& light) override {
        if (index == 0) {
            m_Light = light;
        }
    }
    void LightEnable(int index, bool enable) override {
        if (index == 0) {
            m_bLightEnabled = enable;
        }
    }
    void SetFVF(std::uint32_t fvf) override { m_FVF = fvf; }
    void SetTexture(int stage, ITexture* texture) override {
        if (stage == 0 || stage == 1) {
            m_Textures[static_cast<std::size_t>(stage)] = static_cast<CGlTextureObject*>(texture);
        }
    }

    std::unique_ptr<ITexture> CreateTexture(const SImage& image, const std::vector<SImage>& levels,
                                            ETextureAddress) override {
        if (image.width <= 0 || image.height <= 0) {
            return nullptr;
        }
        GLuint name = 0;
        glGenTextures(1, &name);
        CGlTexture texture(name);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        const auto upload = [](int level, const SImage& picture) {
            // 0xAARRGGBB in memory is B, G, R, A.
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, picture.width, picture.height, 0, GL_BGRA,
                         GL_UNSIGNED_BYTE, picture.pixels.data());
        };
        upload(0, image);
        for (std::size_t i = 0; i < levels.size(); ++i) {
            upload(static_cast<int>(i + 1), levels[i]);
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels.size()));
        glBindTexture(GL_TEXTURE_2D, 0);
        if (glGetError() == GL_OUT_OF_MEMORY) {
            return nullptr;
        }
        const bool opaque =
            IsOpaque(image) && std::all_of(levels.begin(), levels.end(),
                                           [](const SImage& level) { return IsOpaque(level); });
        return std::make_unique<CGlTextureObject>(std::move(texture), image.width, image.height,
                                                  static_cast<int>(levels.size()) + 1, opaque,
                                                  m_Link);
    }

    std::unique_ptr<IVertexBuffer> CreateVertexBuffer(const void* data,
                                                      std::size_t bytes) override {
        CGlBuffer buffer = MakeBuffer(GL_ARRAY_BUFFER, data, bytes);
        if (buffer.Get() == 0) {
            return nullptr;
        }
        return std::make_unique<CGlVertexBuffer>(std::move(buffer), bytes, m_Link);
    }

    std::unique_ptr<IIndexBuffer> CreateIndexBuffer(const std::uint16_t* indices,
                                                    std::size_t count) override {
        glBindVertexArray(m_VertexArray.Get());
        CGlBuffer buffer = MakeBuffer(GL_ELEMENT_ARRAY_BUFFER, indices, count * 2);
        if (buffer.Get() == 0) {
            return nullptr;
        }
        return std::make_unique<CGlIndexBuffer>(std::move(buffer), count, m_Link);
    }

    void SetStreamSource(IVertexBuffer* buffer, std::size_t offset, std::size_t stride) override {
        m_pStream = static_cast<CGlVertexBuffer*>(buffer);
        m_StreamOffset = offset;
        m_StreamStride = stride;
    }
    void SetIndices(IIndexBuffer* buffer) override {
        m_pIndices = static_cast<CGlIndexBuffer*>(buffer);
    }

    void DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertex, int, int, int startIndex,
                              int primitiveCount) override {
        if (m_pStream == nullptr || m_pIndices == nullptr || primitiveCount <= 0 ||
            startIndex < 0) {
            return;
        }
        const std::size_t indexCount = IndexCount(type, primitiveCount);
        if (static_cast<std::size_t>(startIndex) + indexCount > m_pIndices->GetCount()) {
            return; // never read past the indices
        }
        // An opaque mesh that writes depth looks the same drawn in any order: it waits, and
        // the waiting ones are drawn as few instanced draws, one for each mesh and state.
        if (!m_State.alphaBlend && m_State.zEnable && m_State.zWrite &&
            (m_FVF & D3DFVF_XYZRHW) == 0) {
            m_Waiting.push_back(SWaitingDraw{Capture(), Mode(type), indexCount, startIndex,
                                             baseVertex, m_Transforms[0]});
            return;
        }
        DrawWaiting();
        glBindVertexArray(m_VertexArray.Get());
        glBindBuffer(GL_ARRAY_BUFFER, m_pStream->Name());
        SetVertexLayout(m_FVF, m_StreamStride, m_StreamOffset);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_pIndices->Name());
        PrepareScene();
        ++m_uDrawCalls;
        glDrawElementsBaseVertex(
            Mode(type), static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT,
            // NOLINTNEXTLINE(performance-no-int-to-ptr): GL takes the byte offset as a pointer
            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(startIndex) * 2u),
            baseVertex);
    }

    void DrawPrimitiveUP(D3DPRIMITIVETYPE type, int primitiveCount, const void* vertices,
                         std::size_t stride) override {
        if (primitiveCount <= 0 || vertices == nullptr) {
            return;
        }
        DrawWaiting();
        const std::size_t count = IndexCount(type, primitiveCount);
        glBindVertexArray(m_VertexArray.Get());
        glBindBuffer(GL_ARRAY_BUFFER, m_StreamBuffer.Get());
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * stride), vertices,
                     GL_STREAM_DRAW);
        SetVertexLayout(m_FVF, stride, 0);
        PrepareScene();
        ++m_uDrawCalls;
        glDrawArrays(Mode(type), 0, static_cast<GLsizei>(count));
    }

    void DrawScreenQuads(ITexture* texture, const SScreenQuad* quads, std::size_t count,
                         D3DCOLOR color) override {
        if (count == 0) {
            return;
        }
        DrawWaiting();
        m_bFrameDrawn = true;
        ApplyScissor();
        m_ScreenVertices.clear();
        for (std::size_t i = 0; i < count; ++i) {
            const SScreenVertex* c = quads[i].corners;
            for (const int corner : {0, 1, 2, 1, 3, 2}) {
                const SScreenVertex& v = c[corner];
                m_ScreenVertices.insert(m_ScreenVertices.end(), {v.x, v.y, v.u, v.v});
            }
        }
        glBindVertexArray(m_VertexArray.Get());
        glBindBuffer(GL_ARRAY_BUFFER, m_StreamBuffer.Get());
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(m_ScreenVertices.size() * sizeof(float)),
                     m_ScreenVertices.data(), GL_STREAM_DRAW);
        for (GLuint attribute = 0; attribute < 4; ++attribute) {
            glDisableVertexAttribArray(attribute);
        }
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<const void*>(8));

        glUseProgram(m_ScreenProgram.Get());
        glUniform2f(m_Screen.screenSize, static_cast<float>(m_iWidth),
                    static_cast<float>(m_iHeight));
        Uniform(m_Screen.color, ColorValue(color));
        const auto* glTexture = static_cast<CGlTextureObject*>(texture);
        glUniform1i(m_Screen.hasTexture, glTexture != nullptr);
        glUniform1i(m_Screen.texture, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, glTexture != nullptr ? glTexture->Name() : 0);
        const bool texelForPixel =
            glTexture != nullptr &&
            std::all_of(quads, quads + count, [glTexture](const SScreenQuad& quad) {
                return IsTexelForPixel(quad, glTexture->GetWidth(), glTexture->GetHeight());
            });
        glBindSampler(0, texelForPixel ? m_ScreenNearestSampler.Get() : m_ScreenSampler.Get());
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        // Pictures are blended by their alpha; for an opaque picture in a colour of full
        // alpha that gives the picture itself, and drawing it unblended is cheaper.
        if (glTexture != nullptr && glTexture->IsOpaque() && (color >> 24) == 0xFFu) {
            glDisable(GL_BLEND);
        } else {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        ++m_uDrawCalls;
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count * 6));
        glBindSampler(0, m_StageSamplers[0].Get());
    }

    std::uint64_t GetDrawCallCount() const override { return m_uDrawCalls; }
    SImage ReadFrontBuffer() override {
        DrawWaiting();
        SImage image;
        image.width = m_iWidth;
        image.height = m_iHeight;
        image.pixels.resize(static_cast<std::size_t>(m_iWidth) *
                            static_cast<std::size_t>(m_iHeight));
        // A frame not kept is read from the window's back buffer, as the swap left it: on
        // many drivers the frame itself, on others whatever they like.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_bKept ? m_Framebuffer.Get() : 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, m_iWidth, m_iHeight, GL_BGRA, GL_UNSIGNED_BYTE, image.pixels.data());
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_bDirect ? 0 : m_Framebuffer.Get());
        // OpenGL's rows start at the bottom.
        const auto rowLength = static_cast<std::ptrdiff_t>(m_iWidth);
        for (int y = 0; y < m_iHeight / 2; ++y) {
            std::swap_ranges(image.pixels.begin() + y * rowLength,
                             image.pixels.begin() + (y + 1) * rowLength,
                             image.pixels.begin() + (m_iHeight - 1 - y) * rowLength);
        }
        for (std::uint32_t& pixel : image.pixels) {
            pixel |= 0xFF000000u;
        }
        return image;
    }

  private:
    struct SState {
        bool zEnable = true;
        bool zWrite = true;
        std::uint32_t srcBlend = D3DBLEND_ONE;
        std::uint32_t destBlend = D3DBLEND_ZERO;
        std::uint32_t cullMode = D3DCULL_CCW;
        bool alphaBlend = false;
        bool specular = false;
        bool lighting = true;
        std::uint32_t ambient = 0;
        std::uint32_t blendFactor = 0xFFFFFFFFu;
        bool stage1Modulate = false;
        bool scissor = false;
        SRect scissorRect;
        bool operator==(const SState&) const = default;
    };
    struct SSampler {
        std::uint32_t mag = D3DTEXF_POINT;
        std::uint32_t min = D3DTEXF_POINT;
        std::uint32_t mip = D3DTEXF_NONE;
    };

    // The frame is drawn straight into the window when the window has the back buffer's
    // size, as it has unless the player resized it or it fills the screen: presenting is
    // then a swap and nothing more. Otherwise it is drawn into the device's own
    // framebuffer and scaled into the window at present.
    void ChooseTarget() {
        int windowWidth = 0;
        int windowHeight = 0;
        SDL_GL_GetDrawableSize(m_Shared->window, &windowWidth, &windowHeight);
        m_bDirect = (windowWidth == m_iWidth && windowHeight == m_iHeight) || !MakeFramebuffer();
        glBindFramebuffer(GL_FRAMEBUFFER, m_bDirect ? 0 : m_Framebuffer.Get());
        glViewport(0, 0, m_iWidth, m_iHeight);
    }
    // The scissor rectangle in OpenGL's window coordinates, whose rows start at the bottom.
    void ApplyScissor() {
        if (!m_State.scissor) {
            glDisable(GL_SCISSOR_TEST);
            return;
        }
        const SRect& r = m_State.scissorRect;
        glEnable(GL_SCISSOR_TEST);
        glScissor(r.left, m_iHeight - r.bottom, std::max(r.right - r.left, 0),
                  std::max(r.bottom - r.top, 0));
    }
    // The framebuffer of the back buffer's size, made when it is first needed; false when
    // the driver cannot make it.
    bool MakeFramebuffer() {
        if (m_Framebuffer.Get() != 0) {
            return m_bFramebufferComplete;
        }
        GLuint name = 0;
        glGenFramebuffers(1, &name);
        m_Framebuffer = CGlFramebuffer(name);
        glGenRenderbuffers(1, &name);
        m_ColorBuffer = CGlRenderbuffer(name);
        glGenRenderbuffers(1, &name);
        m_DepthBuffer = CGlRenderbuffer(name);
        glBindRenderbuffer(GL_RENDERBUFFER, m_ColorBuffer.Get());
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, m_iWidth, m_iHeight);
        glBindRenderbuffer(GL_RENDERBUFFER, m_DepthBuffer.Get());
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, m_iWidth, m_iHeight);
        glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer.Get());
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  m_ColorBuffer.Get());
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  m_DepthBuffer.Get());
        m_bFramebufferComplete =
            glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        return m_bFramebufferComplete;
    }
    // Copies the frame just drawn into the window into the framebuffer, where it stays to
    // be shown again (the window's buffers are the driver's after a swap) or read.
    bool KeepWindowFrame() {
        if (!MakeFramebuffer()) {
            return false;
        }
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_Framebuffer.Get());
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glBlitFramebuffer(0, 0, m_iWidth, m_iHeight, 0, 0, m_iWidth, m_iHeight, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        return true;
    }
    // Copies the framebuffer's frame into the window, scaled to fit it with the picture's
    // proportions kept, black bars beside it.
    void ShowFramebuffer() {
        int windowWidth = 0;
        int windowHeight = 0;
        SDL_GL_GetDrawableSize(m_Shared->window, &windowWidth, &windowHeight);
        int width = windowWidth;
        int height = windowWidth * m_iHeight / std::max(m_iWidth, 1);
        if (height > windowHeight) {
            height = windowHeight;
            width = windowHeight * m_iWidth / std::max(m_iHeight, 1);
        }
        const int x = (windowWidth - width) / 2;
        const int y = (windowHeight - height) / 2;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        if (width != windowWidth || height != windowHeight) {
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer.Get());
        const bool sameSize = width == m_iWidth && height == m_iHeight;
        glBlitFramebuffer(0, 0, m_iWidth, m_iHeight, x, y, x + width, y + height,
                          GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    }

    static std::size_t IndexCount(D3DPRIMITIVETYPE type, int primitiveCount) {
        const auto count = static_cast<std::size_t>(primitiveCount);
        return type == D3DPT_TRIANGLESTRIP ? count + 2 : count * 3;
    }
    static GLenum Mode(D3DPRIMITIVETYPE type) {
        return type == D3DPT_TRIANGLESTRIP ? GL_TRIANGLE_STRIP : GL_TRIANGLES;
    }

    CGlBuffer MakeBuffer(GLenum target, const void* data, std::size_t bytes) {
        GLuint name = 0;
        glGenBuffers(1, &name);
        CGlBuffer buffer(name);
        glBindBuffer(target, name);
        glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
        if (glGetError() == GL_OUT_OF_MEMORY) {
            return CGlBuffer();
        }
        return buffer;
    }

    void ApplySampler(int stage) {
        const SSampler& s = m_Samplers[static_cast<std::size_t>(stage)];
        const bool linear = s.min == D3DTEXF_LINEAR || s.min == D3DTEXF_ANISOTROPIC;
        GLint min = linear ? GL_LINEAR : GL_NEAREST;
        if (s.mip == D3DTEXF_POINT) {
            min = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        } else if (s.mip == D3DTEXF_LINEAR || s.mip == D3DTEXF_ANISOTROPIC) {
            min = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
        }
        const GLint mag = s.mag == D3DTEXF_POINT || s.mag == D3DTEXF_NONE ? GL_NEAREST : GL_LINEAR;
        const GLuint sampler = m_StageSamplers[static_cast<std::size_t>(stage)].Get();
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, min);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, mag);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }

    // The attribute layout of a vertex format: position, normal, diffuse colour, texture
    // coordinate, in this order in the vertex.
    void SetVertexLayout(std::uint32_t fvf, std::size_t stride, std::size_t base) {
        for (GLuint attribute = 0; attribute < 4; ++attribute) {
            glDisableVertexAttribArray(attribute);
        }
        const auto at = [base](std::size_t offset) {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): GL takes buffer offsets as pointers
            return reinterpret_cast<const void*>(base + offset);
        };
        const auto glStride = static_cast<GLsizei>(stride);
        std::size_t offset = 0;
        glEnableVertexAttribArray(0);
        if ((fvf & D3DFVF_XYZRHW) != 0) {
            glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, glStride, at(offset));
            offset += 16;
        } else {
            glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, glStride, at(offset));
            offset += 12;
        }
        if ((fvf & D3DFVF_NORMAL) != 0) {
            glEnableVertexAttribArray(1);
            glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, glStride, at(offset));
            offset += 12;
        } else {
            glVertexAttrib3f(1, 0.0f, 0.0f, 0.0f);
        }
        if ((fvf & D3DFVF_DIFFUSE) != 0) {
            glEnableVertexAttribArray(3);
            glVertexAttribPointer(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, glStride, at(offset));
            offset += 4;
        }
        if ((fvf & D3DFVF_TEX1) != 0) {
            glEnableVertexAttribArray(2);
            glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, glStride, at(offset));
        } else {
            glVertexAttrib2f(2, 0.0f, 0.0f);
        }
    }

    // What a draw of the scene takes from the device's states, besides its world matrix.
    struct SDrawState {
        SState state;
        D3DXMATRIX view;
        D3DXMATRIX projection;
        D3DXVECTOR3 eye;
        D3DMATERIAL9 material;
        D3DLIGHT9 light;
        bool lightEnabled = false;
        std::uint32_t fvf = 0;
        std::array<CGlTextureObject*, 2> textures = {nullptr, nullptr};
        CGlVertexBuffer* stream = nullptr;
        std::size_t streamOffset = 0;
        std::size_t streamStride = 0;
        CGlIndexBuffer* indices = nullptr;
    };
    struct SWaitingDraw {
        SDrawState from;
        GLenum mode;
        std::size_t indexCount;
        int startIndex;
        int baseVertex;
        D3DXMATRIX world;
    };
    // An instance's world matrix and its normals' matrix (the inverse's transpose), as the
    // instanced attributes read them: columns of the matrices the shader multiplies with.
    struct SInstance {
        float world[16];
        float normal[9];
    };

    SDrawState Capture() const {
        return SDrawState{m_State,        m_Transforms[1], m_Transforms[2], m_Eye,      m_Material,
                          m_Light,        m_bLightEnabled, m_FVF,           m_Textures, m_pStream,
                          m_StreamOffset, m_StreamStride,  m_pIndices};
    }
    void Restore(const SDrawState& from) {
        m_State = from.state;
        m_Transforms[1] = from.view;
        m_Transforms[2] = from.projection;
        m_Eye = from.eye;
        m_Material = from.material;
        m_Light = from.light;
        m_bLightEnabled = from.lightEnabled;
        m_FVF = from.fvf;
        m_Textures = from.textures;
        m_pStream = from.stream;
        m_StreamOffset = from.streamOffset;
        m_StreamStride = from.streamStride;
        m_pIndices = from.indices;
    }
    // True when two waiting draws differ in nothing but their world matrices.
    static bool OneBatch(const SWaitingDraw& a, const SWaitingDraw& b) {
        const SDrawState& x = a.from;
        const SDrawState& y = b.from;
        return a.mode == b.mode && a.indexCount == b.indexCount && a.startIndex == b.startIndex &&
               a.baseVertex == b.baseVertex && x.state == y.state && x.view == y.view &&
               x.projection == y.projection && x.eye == y.eye && x.material == y.material &&
               x.light == y.light && x.lightEnabled == y.lightEnabled && x.fvf == y.fvf &&
               x.textures == y.textures && x.stream == y.stream &&
               x.streamOffset == y.streamOffset && x.streamStride == y.streamStride &&
               x.indices == y.indices;
    }
    static SInstance InstanceOf(const D3DXMATRIX& world) {
        SInstance instance{};
        std::memcpy(instance.world, &world.m[0][0], sizeof instance.world);
        D3DXMATRIX inverse;
        D3DXMatrixInverse(&inverse, nullptr, &world);
        const float normal[9] = {inverse.m[0][0], inverse.m[1][0], inverse.m[2][0],
                                 inverse.m[0][1], inverse.m[1][1], inverse.m[2][1],
                                 inverse.m[0][2], inverse.m[1][2], inverse.m[2][2]};
        std::memcpy(instance.normal, normal, sizeof normal);
        return instance;
    }

    // Draws every waiting draw, those that differ only in their world matrices together,
    // then leaves the device's states as they were.
    void DrawWaiting() override {
        if (m_Waiting.empty()) {
            return;
        }
        const SDrawState current = Capture();
        m_WaitingDone.assign(m_Waiting.size(), false);
        for (std::size_t first = 0; first < m_Waiting.size(); ++first) {
            if (m_WaitingDone[first]) {
                continue;
            }
            const SWaitingDraw& draw = m_Waiting[first];
            m_Instances.clear();
            for (std::size_t other = first; other < m_Waiting.size(); ++other) {
                if (!m_WaitingDone[other] && OneBatch(draw, m_Waiting[other])) {
                    m_Instances.push_back(InstanceOf(m_Waiting[other].world));
                    m_WaitingDone[other] = true;
                }
            }
            Restore(draw.from);
            DrawInstances(draw);
        }
        m_Waiting.clear();
        Restore(current);
    }
    void DrawInstances(const SWaitingDraw& draw) {
        glBindVertexArray(m_VertexArray.Get());
        glBindBuffer(GL_ARRAY_BUFFER, m_pStream->Name());
        SetVertexLayout(m_FVF, m_StreamStride, m_StreamOffset);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_pIndices->Name());
        PrepareScene();
        glBindBuffer(GL_ARRAY_BUFFER, m_InstanceBuffer.Get());
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(m_Instances.size() * sizeof(SInstance)),
                     m_Instances.data(), GL_STREAM_DRAW);
        const auto at = [](std::size_t offset) {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): GL takes buffer offsets as pointers
            return reinterpret_cast<const void*>(offset);
        };
        constexpr auto kStride = static_cast<GLsizei>(sizeof(SInstance));
        for (GLuint column = 0; column < 4; ++column) {
            glEnableVertexAttribArray(4 + column);
            glVertexAttribPointer(4 + column, 4, GL_FLOAT, GL_FALSE, kStride,
                                  at(std::size_t{16} * column));
            glVertexAttribDivisor(4 + column, 1);
        }
        for (GLuint column = 0; column < 3; ++column) {
            glEnableVertexAttribArray(8 + column);
            glVertexAttribPointer(8 + column, 3, GL_FLOAT, GL_FALSE, kStride,
                                  at(offsetof(SInstance, normal) + std::size_t{12} * column));
            glVertexAttribDivisor(8 + column, 1);
        }
        glUniform1i(m_Scene.instanced, 1);
        ++m_uDrawCalls;
        glDrawElementsInstancedBaseVertex(
            draw.mode, static_cast<GLsizei>(draw.indexCount), GL_UNSIGNED_SHORT,
            at(static_cast<std::size_t>(draw.startIndex) * 2u),
            static_cast<GLsizei>(m_Instances.size()), draw.baseVertex);
        glUniform1i(m_Scene.instanced, 0);
        for (GLuint attribute = 4; attribute < 11; ++attribute) {
            glDisableVertexAttribArray(attribute);
        }
    }

    // Puts the Direct3D states into OpenGL before a draw of the scene.
    void PrepareScene() {
        m_bFrameDrawn = true;
        ApplyScissor();
        glUseProgram(m_SceneProgram.Get());
        if (m_State.zEnable) {
            glEnable(GL_DEPTH_TEST);
            glDepthFunc(GL_LEQUAL);
        } else {
            glDisable(GL_DEPTH_TEST);
        }
        glDepthMask(m_State.zWrite ? GL_TRUE : GL_FALSE);
        if (m_State.alphaBlend) {
            glEnable(GL_BLEND);
            glBlendFunc(BlendFactor(m_State.srcBlend), BlendFactor(m_State.destBlend));
            const D3DCOLORVALUE factor = ColorValue(m_State.blendFactor);
            glBlendColor(factor.r, factor.g, factor.b, factor.a);
        } else {
            glDisable(GL_BLEND);
        }
        // Direct3D's front faces turn clockwise on the screen.
        if (m_State.cullMode == D3DCULL_NONE) {
            glDisable(GL_CULL_FACE);
        } else {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            glFrontFace(m_State.cullMode == D3DCULL_CCW ? GL_CW : GL_CCW);
        }

        const bool preTransformed = (m_FVF & D3DFVF_XYZRHW) != 0;
        glUniformMatrix4fv(m_Scene.world, 1, GL_FALSE, &m_Transforms[0].m[0][0]);
        glUniformMatrix4fv(m_Scene.view, 1, GL_FALSE, &m_Transforms[1].m[0][0]);
        glUniformMatrix4fv(m_Scene.projection, 1, GL_FALSE, &m_Transforms[2].m[0][0]);
        // Normals turn with the inverse transpose of the world matrix.
        D3DXMATRIX inverse;
        D3DXMatrixInverse(&inverse, nullptr, &m_Transforms[0]);
        const float normalMatrix[9] = {inverse.m[0][0], inverse.m[1][0], inverse.m[2][0],
                                       inverse.m[0][1], inverse.m[1][1], inverse.m[2][1],
                                       inverse.m[0][2], inverse.m[1][2], inverse.m[2][2]};
        glUniformMatrix3fv(m_Scene.normalMatrix, 1, GL_FALSE, normalMatrix);
        glUniform1i(m_Scene.preTransformed, preTransformed);
        glUniform1i(m_Scene.hasColor, (m_FVF & D3DFVF_DIFFUSE) != 0);
        glUniform2f(m_Scene.screenSize, static_cast<float>(m_iWidth),
                    static_cast<float>(m_iHeight));
        glUniform1i(m_Scene.lighting, m_State.lighting);
        glUniform1i(m_Scene.specular, m_State.specular);
        Uniform(m_Scene.materialDiffuse, m_Material.Diffuse);
        Uniform(m_Scene.materialAmbient, m_Material.Ambient);
        Uniform(m_Scene.materialSpecular, m_Material.Specular);
        Uniform(m_Scene.materialEmissive, m_Material.Emissive);
        glUniform1f(m_Scene.materialPower, m_Material.Power);
        glUniform1i(m_Scene.lightEnabled, m_bLightEnabled);
        glUniform3f(m_Scene.lightPosition, m_Light.Position.x, m_Light.Position.y,
                    m_Light.Position.z);
        Uniform(m_Scene.lightDiffuse, m_Light.Diffuse);
        Uniform(m_Scene.lightAmbient, m_Light.Ambient);
        Uniform(m_Scene.lightSpecular, m_Light.Specular);
        glUniform1f(m_Scene.lightRange, m_Light.Range);
        glUniform3f(m_Scene.attenuation, m_Light.Attenuation0, m_Light.Attenuation1,
                    m_Light.Attenuation2);
        Uniform(m_Scene.globalAmbient, ColorValue(m_State.ambient));
        glUniform3f(m_Scene.eye, m_Eye.x, m_Eye.y, m_Eye.z);

        for (int stage = 0; stage < 2; ++stage) {
            const CGlTextureObject* texture = m_Textures[static_cast<std::size_t>(stage)];
            glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + stage));
            glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->Name() : 0);
            glBindSampler(static_cast<GLuint>(stage),
                          m_StageSamplers[static_cast<std::size_t>(stage)].Get());
        }
        glActiveTexture(GL_TEXTURE0);
        glUniform1i(m_Scene.texture0, 0);
        glUniform1i(m_Scene.texture1, 1);
        glUniform1i(m_Scene.hasTexture0, m_Textures[0] != nullptr);
        glUniform1i(m_Scene.hasTexture1, m_Textures[1] != nullptr);
        glUniform1i(m_Scene.stage1Modulate, m_State.stage1Modulate);
    }

    std::shared_ptr<SSdlShared> m_Shared;
    SDL_GLContext m_Context;
    int m_iWidth;
    int m_iHeight;
    CGlProgram m_SceneProgram;
    CGlProgram m_ScreenProgram;
    SSceneUniforms m_Scene;
    SScreenUniforms m_Screen;
    CGlVertexArray m_VertexArray;
    CGlBuffer m_StreamBuffer;
    std::array<CGlSampler, 2> m_StageSamplers;
    CGlSampler m_ScreenSampler;
    CGlSampler m_ScreenNearestSampler; // for pictures shown texel for pixel
    CGlFramebuffer m_Framebuffer;
    CGlRenderbuffer m_ColorBuffer;
    CGlRenderbuffer m_DepthBuffer;
    bool m_bFramebufferComplete = false;
    bool m_bDirect = true;      // this frame is drawn into the window
    bool m_bFrameDrawn = false; // something was drawn since the last present
    bool m_bKeepFrame = false;  // the frame being drawn is to be kept in the framebuffer
    bool m_bKept = false;       // the frame shown last is in the framebuffer

    SState m_State;
    std::array<SSampler, 2> m_Samplers;
    D3DXMATRIX m_Transforms[3];
    D3DXVECTOR3 m_Eye;
    D3DMATERIAL9 m_Material;
    D3DLIGHT9 m_Light;
    bool m_bLightEnabled = false;
    std::uint32_t m_FVF = 0;
    std::array<CGlTextureObject*, 2> m_Textures = {nullptr, nullptr};
    std::shared_ptr<SDeviceLink> m_Link = std::make_shared<SDeviceLink>(SDeviceLink{this});
    static constexpr std::size_t kWaitingRoom = 2048;
    std::uint64_t m_uDrawCalls = 0;
    std::vector<SWaitingDraw> m_Waiting;
    std::vector<bool> m_WaitingDone;
    std::vector<SInstance> m_Instances;
    CGlBuffer m_InstanceBuffer;
    CGlVertexBuffer* m_pStream = nullptr;
    std::size_t m_StreamOffset = 0;
    std::size_t m_StreamStride = 0;
    CGlIndexBuffer* m_pIndices = nullptr;
    std::vector<float> m_ScreenVertices;
};

} // namespace

std::unique_ptr<IGraphicsDevice> CreateGlDevice(std::shared_ptr<SSdlShared> shared, int width,
                                                int height, bool vsync, std::string& error) {
    SDL_GLContext context = SDL_GL_CreateContext(shared->window);
    if (context == nullptr) {
        error = SDL_GetError();
        return nullptr;
    }
    CGlProgram scene = LinkProgram(kSceneVertexShader, kSceneFragmentShader, error);
    CGlProgram screen = scene.Get() != 0
                            ? LinkProgram(kScreenVertexShader, kScreenFragmentShader, error)
                            : CGlProgram();
    if (screen.Get() == 0) {
        scene = CGlProgram();
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    auto device = std::make_unique<CGlDevice>(std::move(shared), context, width, height, vsync,
                                              std::move(scene), std::move(screen));
    return device;
}

} // namespace platform

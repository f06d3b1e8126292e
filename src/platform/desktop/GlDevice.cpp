#include "GlBatch.h"
#include "GlFixedFunction.h"
#include "GlFrameTarget.h"
#include "GlObjects.h"
#include "GlScreenQuads.h"
#include "GlShaders.h"
#include "SdlShared.h"
#include "platform/D3DXMath.h"
#include "platform/GraphicsDevice.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The graphics device on OpenGL 3.3 core. Its parts, each in a file of its own:
// - GlShaders: the sources of its two programs;
// - GlFixedFunction: the Direct3D states it keeps and the scene program that reproduces the
//   part of Direct3D 9's fixed-function pipeline the game uses;
// - GlBatch: opaque meshes that wait to be drawn together, as instances;
// - GlScreenQuads: the 2D path, pictures and text;
// - GlFrameTarget: where frames are drawn, how they are shown and read back.
// The device itself takes the game's calls and hands them to those parts.
namespace platform {
namespace {

bool IsOpaque(const SImage& image) {
    return std::all_of(image.pixels.begin(), image.pixels.end(),
                       [](std::uint32_t pixel) { return (pixel >> 24) == 0xFFu; });
}

std::size_t IndexCount(D3DPRIMITIVETYPE type, int primitiveCount) {
    const auto count = static_cast<std::size_t>(primitiveCount);
    return type == D3DPT_TRIANGLESTRIP ? count + 2 : count * 3;
}

GLenum Mode(D3DPRIMITIVETYPE type) {
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

// The OpenGL context, deleted last of all the device holds.
class CGlContext {
  public:
    explicit CGlContext(SDL_GLContext context) : m_Context(context) {}
    ~CGlContext() {
        if (m_Context != nullptr) {
            SDL_GL_DeleteContext(m_Context);
        }
    }
    CGlContext(const CGlContext&) = delete;
    CGlContext& operator=(const CGlContext&) = delete;
    bool IsMade() const { return m_Context != nullptr; }

  private:
    SDL_GLContext m_Context;
};

class CGlDevice final : public IGraphicsDevice, private IWaitingDraws {
  public:
    CGlDevice(std::shared_ptr<SSdlShared> shared, std::unique_ptr<CGlContext> context, int width,
              int height, bool vsync, CGlProgram scene, CGlProgram screen)
        : m_Shared(std::move(shared)), m_Context(std::move(context)), m_iWidth(width),
          m_iHeight(height), m_Scene(std::move(scene)), m_ScreenQuads(std::move(screen)),
          m_Target(m_Shared->window, width, height) {
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
        D3DXMatrixIdentity(&m_World);
        D3DXMatrixIdentity(&m_Draw.view);
        D3DXMatrixIdentity(&m_Draw.projection);
    }

    ~CGlDevice() override {
        m_Link->device = nullptr; // what it made may outlive it: nothing waits any more
        m_Batch.Clear();
    }
    CGlDevice(const CGlDevice&) = delete;
    CGlDevice& operator=(const CGlDevice&) = delete;

    int GetBackBufferWidth() const override { return m_iWidth; }
    int GetBackBufferHeight() const override { return m_iHeight; }

    void Clear(D3DCOLOR color, float z, std::uint32_t stencil) override {
        DrawWaiting();
        m_Target.MarkDrawn();
        m_Target.Bind();
        const D3DCOLORVALUE c = ColorValue(color);
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
        m_Target.Present();
        return glGetError() != GL_OUT_OF_MEMORY;
    }
    void KeepFrame() override { m_Target.Keep(); }

    void SetRenderState(D3DRENDERSTATETYPE state, std::uint32_t value) override {
        m_Draw.states.Set(state, value);
    }
    void SetScissorRect(const SRect& rect) override { m_Draw.states.scissorRect = rect; }

    void SetSamplerState(int stage, D3DSAMPLERSTATETYPE state, std::uint32_t value) override {
        DrawWaiting();
        m_Samplers.Set(stage, state, value);
    }

    void SetTextureStageState(int stage, D3DTEXTURESTAGESTATETYPE state,
                              std::uint32_t value) override {
        if (stage == 1 && state == D3DTSS_COLOROP) {
            m_Draw.states.stage1Modulate = value == D3DTOP_MODULATE;
        }
    }

    void SetTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX& matrix) override {
        switch (state) {
        case D3DTS_WORLD:
            m_World = matrix;
            break;
        case D3DTS_VIEW: {
            m_Draw.view = matrix;
            D3DXMATRIX inverse;
            D3DXMatrixInverse(&inverse, nullptr, &matrix);
            m_Draw.eye = D3DXVECTOR3{inverse.m[3][0], inverse.m[3][1], inverse.m[3][2]};
            break;
        }
        case D3DTS_PROJECTION:
            m_Draw.projection = matrix;
            break;
        }
    }

    void SetMaterial(const D3DMATERIAL9& material) override { m_Draw.material = material; }
    void SetLight(int index, const D3DLIGHT9& light) override {
        if (index == 0) {
            m_Draw.light = light;
        }
    }
    void LightEnable(int index, bool enable) override {
        if (index == 0) {
            m_Draw.lightEnabled = enable;
        }
    }
    void SetFVF(std::uint32_t fvf) override { m_Draw.fvf = fvf; }
    void SetTexture(int stage, ITexture* texture) override {
        if (stage == 0 || stage == 1) {
            m_Draw.textures[static_cast<std::size_t>(stage)] =
                static_cast<CGlTextureObject*>(texture);
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
        m_Draw.stream = static_cast<CGlVertexBuffer*>(buffer);
        m_Draw.streamOffset = offset;
        m_Draw.streamStride = stride;
    }
    void SetIndices(IIndexBuffer* buffer) override {
        m_Draw.indices = static_cast<CGlIndexBuffer*>(buffer);
    }

    void DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertex, int, int, int startIndex,
                              int primitiveCount) override {
        if (m_Draw.stream == nullptr || m_Draw.indices == nullptr || primitiveCount <= 0 ||
            startIndex < 0) {
            return;
        }
        const std::size_t indexCount = IndexCount(type, primitiveCount);
        if (static_cast<std::size_t>(startIndex) + indexCount > m_Draw.indices->GetCount()) {
            return; // never read past the indices
        }
        m_Target.MarkDrawn();
        const SRenderStates& states = m_Draw.states;
        if (!states.alphaBlend && states.zEnable && states.zWrite &&
            (m_Draw.fvf & D3DFVF_XYZRHW) == 0) {
            m_Batch.Add(
                SWaitingDraw{m_Draw, Mode(type), indexCount, startIndex, baseVertex, m_World});
            return;
        }
        DrawWaiting();
        BindMesh(m_VertexArray.Get(), m_Draw);
        m_Scene.Use(m_Draw, m_World, m_Samplers, m_iWidth, m_iHeight);
        ++m_uDrawCalls;
        glDrawElementsBaseVertex(Mode(type), static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT,
                                 BufferOffset(static_cast<std::size_t>(startIndex) * 2u),
                                 baseVertex);
    }

    void DrawPrimitiveUP(D3DPRIMITIVETYPE type, int primitiveCount, const void* vertices,
                         std::size_t stride) override {
        if (primitiveCount <= 0 || vertices == nullptr) {
            return;
        }
        DrawWaiting();
        m_Target.MarkDrawn();
        const std::size_t count = IndexCount(type, primitiveCount);
        glBindVertexArray(m_VertexArray.Get());
        glBindBuffer(GL_ARRAY_BUFFER, m_StreamBuffer.Get());
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * stride), vertices,
                     GL_STREAM_DRAW);
        SetVertexLayout(m_Draw.fvf, stride, 0);
        m_Scene.Use(m_Draw, m_World, m_Samplers, m_iWidth, m_iHeight);
        ++m_uDrawCalls;
        glDrawArrays(Mode(type), 0, static_cast<GLsizei>(count));
    }

    void DrawScreenQuads(ITexture* texture, const SScreenQuad* quads, std::size_t count,
                         D3DCOLOR color) override {
        if (count == 0) {
            return;
        }
        DrawWaiting();
        m_Target.MarkDrawn();
        ++m_uDrawCalls;
        m_ScreenQuads.Draw(m_VertexArray.Get(), m_StreamBuffer.Get(),
                           static_cast<const CGlTextureObject*>(texture), quads, count, color,
                           m_Draw.states, m_Samplers, m_iWidth, m_iHeight);
    }

    std::uint64_t GetDrawCallCount() const override { return m_uDrawCalls; }
    SImage ReadFrontBuffer() override {
        DrawWaiting();
        return m_Target.Read();
    }

  private:
    void DrawWaiting() override {
        if (!m_Batch.IsEmpty()) {
            m_uDrawCalls +=
                m_Batch.Draw(m_Scene, m_Samplers, m_VertexArray.Get(), m_iWidth, m_iHeight);
        }
    }

    // The window and the context go last: the GL objects below are deleted before them.
    std::shared_ptr<SSdlShared> m_Shared;
    std::unique_ptr<CGlContext> m_Context;
    int m_iWidth;
    int m_iHeight;
    CGlSceneProgram m_Scene;
    CGlScreenQuads m_ScreenQuads;
    CGlStageSamplers m_Samplers;
    CGlFrameTarget m_Target;
    CGlBatch m_Batch;
    CGlVertexArray m_VertexArray;
    CGlBuffer m_StreamBuffer;
    SDrawState m_Draw;
    D3DXMATRIX m_World;
    std::uint64_t m_uDrawCalls = 0;
    std::shared_ptr<SDeviceLink> m_Link = std::make_shared<SDeviceLink>(SDeviceLink{this});
};

} // namespace

std::unique_ptr<IGraphicsDevice> CreateGlDevice(std::shared_ptr<SSdlShared> shared, int width,
                                                int height, bool vsync, std::string& error) {
    auto context = std::make_unique<CGlContext>(SDL_GL_CreateContext(shared->window));
    if (!context->IsMade()) {
        error = SDL_GetError();
        return nullptr;
    }
    CGlProgram scene = LinkProgram(kSceneVertexShader, kSceneFragmentShader, error);
    if (scene.Get() == 0) {
        return nullptr;
    }
    CGlProgram screen = LinkProgram(kScreenVertexShader, kScreenFragmentShader, error);
    if (screen.Get() == 0) {
        return nullptr; // the programs go before the context
    }
    return std::make_unique<CGlDevice>(std::move(shared), std::move(context), width, height, vsync,
                                       std::move(scene), std::move(screen));
}

} // namespace platform

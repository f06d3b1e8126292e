#include "SdlWindow.h"

#include "SdlShared.h"

#include <algorithm>

namespace platform {

SSdlShared::~SSdlShared() {
    if (window != nullptr) {
        SDL_DestroyWindow(window);
    }
    SDL_Quit();
}

std::unique_ptr<CSdlWindow> CSdlWindow::Create(const char* title, int width, int height,
                                               std::string& error) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error = SDL_GetError();
        SDL_Quit();
        return nullptr;
    }
    // Set before the window exists: the context the graphics device creates later.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    auto shared = std::make_shared<SSdlShared>();
    shared->window = SDL_CreateWindow(title, 0, 0, std::max(width, 1), std::max(height, 1),
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (shared->window == nullptr) {
        error = SDL_GetError();
        return nullptr; // shared's destructor shuts SDL down again
    }
    return std::make_unique<CSdlWindow>(std::move(shared));
}

CSdlWindow::CSdlWindow(std::shared_ptr<SSdlShared> shared) : m_Shared(std::move(shared)) {}

CSdlWindow::~CSdlWindow() = default;

bool CSdlWindow::PeekMessage(SMessage& message) {
    SDL_Event event;
    if (SDL_PollEvent(&event) != 0) {
        message = SMessage{};
        switch (event.type) {
        case SDL_QUIT:
            message.kind = SMessage::EKind::CloseRequest;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                message.kind = SMessage::EKind::CloseRequest;
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                m_Shared->inForeground = false;
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                m_Shared->inForeground = true;
            }
            break;
        case SDL_MOUSEWHEEL:
            m_Shared->wheel +=
                event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            break;
        default:
            break;
        }
        return true;
    }
    if (m_bQuitPosted) {
        message = SMessage{SMessage::EKind::Quit};
        return true;
    }
    return false;
}

void CSdlWindow::Destroy() {
    if (m_bDestroyed) {
        return;
    }
    m_bDestroyed = true;
    m_bQuitPosted = true;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_HideWindow(m_Shared->window);
}

int CSdlWindow::GetWidth() const {
    int width = 0;
    SDL_GetWindowSize(m_Shared->window, &width, nullptr);
    return width;
}

int CSdlWindow::GetHeight() const {
    int height = 0;
    SDL_GetWindowSize(m_Shared->window, nullptr, &height);
    return height;
}

std::unique_ptr<IGraphicsDevice> CSdlWindow::CreateDevice() {
    return CreateGlDevice(m_Shared);
}

std::unique_ptr<IKeyboardDevice> CSdlWindow::CreateKeyboard() {
    return CreateSdlKeyboard(m_Shared);
}

std::unique_ptr<IMouseDevice> CSdlWindow::CreateMouse() {
    return CreateSdlMouse(m_Shared);
}

} // namespace platform

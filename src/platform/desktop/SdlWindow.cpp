#include "SdlWindow.h"

#include "OpenAlSound.h"
#include "SdlShared.h"

#include <algorithm>
#include <string>
#include <string_view>

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
    // Without a display SDL falls back to a video driver that shows nothing ("offscreen",
    // "dummy"): the game would run unseen until killed. Such a driver only when it is asked
    // for by name (SDL_VIDEODRIVER), as the tests and the benchmark do.
    const std::string_view driver =
        SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : std::string_view{};
    const char* const wanted = SDL_getenv("SDL_VIDEODRIVER");
    if ((driver == "offscreen" || driver == "dummy") &&
        (wanted == nullptr || std::string_view(wanted).find(driver) == std::string_view::npos)) {
        error = "no display (SDL found only its \"" + std::string(driver) +
                "\" video driver, which shows nothing)";
        SDL_Quit();
        return nullptr;
    }
    // Set before the window exists: the context the graphics device creates later.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The device draws straight into the window while it has the back buffer's size.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    auto shared = std::make_shared<SSdlShared>();
    // The desktop may size the window as it likes (the picture is scaled to fit it) and
    // puts it in the middle of the screen.
    shared->window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      std::max(width, 1), std::max(height, 1),
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (shared->window == nullptr) {
        error = SDL_GetError();
        return nullptr; // shared's destructor shuts SDL down again
    }
    return std::make_unique<CSdlWindow>(std::move(shared));
}

CSdlWindow::CSdlWindow(std::shared_ptr<SSdlShared> shared) : m_Shared(std::move(shared)) {}

CSdlWindow::~CSdlWindow() = default;

namespace {

// Alt+Enter and F11 switch between the window and the full screen.
bool IsFullScreenShortcut(const SDL_KeyboardEvent& key) {
    const SDL_Scancode code = key.keysym.scancode;
    return code == SDL_SCANCODE_F11 ||
           ((code == SDL_SCANCODE_RETURN || code == SDL_SCANCODE_KP_ENTER) &&
            (key.keysym.mod & KMOD_ALT) != 0);
}

} // namespace

void CSdlWindow::ToggleFullScreen() {
    SDL_SetWindowFullscreen(m_Shared->window,
                            IsFullScreen() ? 0u : Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP});
}

bool CSdlWindow::IsFullScreen() const {
    return (SDL_GetWindowFlags(m_Shared->window) & SDL_WINDOW_FULLSCREEN) != 0;
}

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
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                       event.window.event == SDL_WINDOWEVENT_SHOWN ||
                       event.window.event == SDL_WINDOWEVENT_RESTORED) {
                message.kind = SMessage::EKind::Paint;
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                m_Shared->inForeground = false;
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                m_Shared->inForeground = true;
            }
            break;
        case SDL_KEYDOWN:
            if (event.key.keysym.scancode < 0 || event.key.keysym.scancode >= SDL_NUM_SCANCODES) {
                break;
            }
            if (IsFullScreenShortcut(event.key)) {
                // The window's key, not the game's: the keyboard leaves it out while it is held.
                m_Shared->keysTaken[static_cast<std::size_t>(event.key.keysym.scancode)] = true;
                if (event.key.repeat == 0 && !m_bDestroyed) {
                    ToggleFullScreen();
                }
            } else {
                m_Shared->keysPressed[static_cast<std::size_t>(event.key.keysym.scancode)] = true;
            }
            break;
        case SDL_KEYUP:
            if (event.key.keysym.scancode >= 0 && event.key.keysym.scancode < SDL_NUM_SCANCODES) {
                m_Shared->keysTaken[static_cast<std::size_t>(event.key.keysym.scancode)] = false;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button >= 1 && event.button.button <= 32) {
                m_Shared->buttonsPressed |= SDL_BUTTON(event.button.button);
            }
            break;
        case SDL_CONTROLLERBUTTONDOWN:
            if (event.cbutton.button < SDL_CONTROLLER_BUTTON_MAX) {
                m_Shared->padButtonsPressed |= 1u << event.cbutton.button;
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

void CSdlWindow::SetIcon(const SImage& icon) {
    if (icon.width <= 0 || icon.height <= 0) {
        return;
    }
    // SDL reads the pixels while making the icon; the surface only borrows them.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): SDL's parameter lacks the const
        const_cast<std::uint32_t*>(icon.pixels.data()), icon.width, icon.height, 32, icon.width * 4,
        SDL_PIXELFORMAT_ARGB8888);
    if (surface != nullptr) {
        SDL_SetWindowIcon(m_Shared->window, surface);
        SDL_FreeSurface(surface);
    }
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

bool CSdlWindow::HasFocus() const {
    return m_Shared->inForeground;
}

bool CSdlWindow::IsHidden() const {
    return (SDL_GetWindowFlags(m_Shared->window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
}

std::vector<SDisplayMode> CSdlWindow::GetDisplayModes() const {
    std::vector<SDisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0) {
            continue;
        }
        // 16-bit modes, and 24- or 32-bit ones (which a 32-bit picture uses).
        const int bits = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
        const int depth = bits == 16 ? 16 : (bits == 24 || bits == 32) ? 32 : 0;
        if (depth != 0) {
            modes.push_back(SDisplayMode{mode.w, mode.h, depth, mode.refresh_rate});
        }
    }
    return modes;
}

std::string CSdlWindow::GetAdapterDescription() const {
    const char* name = SDL_GetDisplayName(0);
    const char* driver = SDL_GetCurrentVideoDriver();
    return std::string(name != nullptr ? name : "?") + " (" + (driver != nullptr ? driver : "?") +
           ")";
}

int CSdlWindow::GetDesktopWidth() const {
    SDL_DisplayMode mode{};
    return SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.w : 0;
}

int CSdlWindow::GetDesktopHeight() const {
    SDL_DisplayMode mode{};
    return SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.h : 0;
}

int CSdlWindow::GetRefreshRate() const {
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(m_Shared->window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

std::unique_ptr<IGraphicsDevice> CSdlWindow::CreateDevice(const SPresentParameters& parameters,
                                                          std::string& error) {
    SDL_Window* window = m_Shared->window;
    if (parameters.windowed) {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, parameters.width, parameters.height);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        // The whole screen at the desktop's resolution: the display mode stays as it is and
        // the back buffer is scaled to it, so the desktop is not disturbed.
        error = SDL_GetError();
        return nullptr;
    }
    return CreateGlDevice(m_Shared, parameters.width, parameters.height, parameters.vsync, error);
}

std::unique_ptr<IDirectSound> CSdlWindow::CreateSoundDevice(std::string& error) {
    return CreateOpenAlSoundDevice(error);
}

std::unique_ptr<IKeyboardDevice> CSdlWindow::CreateKeyboard() {
    return CreateSdlKeyboard(m_Shared);
}

std::unique_ptr<IMouseDevice> CSdlWindow::CreateMouse() {
    return CreateSdlMouse(m_Shared);
}

std::unique_ptr<IControllerDevice> CSdlWindow::CreateController() {
    return CreateSdlController(m_Shared);
}

} // namespace platform

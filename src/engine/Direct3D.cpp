#include "Direct3D.h"

#include "settings/Log.h"

int g_iScreenWidth = 0;
int g_iScreenHeight = 0;

CDirect3D::~CDirect3D() {
    ReleaseAll();
}

bool CDirect3D::Init(platform::IWindow* window) {
    if (window == nullptr) {
        LogError("Gerät konnte nicht angelegt werden!");
        return false;
    }
    g_iScreenWidth = window->GetWidth();
    g_iScreenHeight = window->GetHeight();
    m_pDevice = window->CreateDevice();
    if (!m_pDevice) {
        LogError("Gerät konnte nicht angelegt werden!");
        return false;
    }
    return true;
}

void CDirect3D::BeginFrame() {
    if (m_pDevice) {
        m_pDevice->Clear(m_ClearColor, 1.0f, 0);
        m_pDevice->BeginScene();
    }
}

bool CDirect3D::EndFrame() {
    if (!m_pDevice) {
        return true; // nothing to show; the program goes on without a device
    }
    m_pDevice->EndScene();
    return m_pDevice->Present();
}

void CDirect3D::WriteText(const char*, int, int, std::uint32_t, int) {}

void CDirect3D::Screenshot(const char*) {}

void CDirect3D::ReleaseAll() {
    m_pDevice.reset();
}

#include "TextDisplay.h"

#include "engine/Direct3D.h"
#include "settings/Settings.h"

void CTextDisplay::Init(CDirect3D* direct3D) {
    m_pDirect3D = direct3D;
    m_bSlide = ReadIniInt("Options", "Textverzoegerung") == 1 ? 1 : 0;
    m_Color = ReadIniColor("Options", "MenuTextColor");
}

void CTextDisplay::AddLine(const char* text) {
    m_Lines.push_back(
        STextLine{text != nullptr ? text : "", static_cast<float>(m_Lines.size()) + 1.0f});
}

void CTextDisplay::Update(float dt) {
    for (STextLine& line : m_Lines) {
        line.fDelay -= dt;
        if (line.fDelay < 0) {
            line.fDelay = 0;
        }
    }
}

int CTextDisplay::GetX(std::size_t line) const {
    const int x0 = (m_pDirect3D != nullptr ? m_pDirect3D->GetScreenWidth() : 0) / 32;
    if (m_bSlide != 1) {
        return x0;
    }
    // 300 pixels left of its place for every second still to go.
    return static_cast<int>(static_cast<float>(x0) - m_Lines[line].fDelay * 300.0f);
}

int CTextDisplay::GetY(std::size_t line) const {
    return (m_pDirect3D != nullptr ? m_pDirect3D->GetScreenHeight() : 0) / 2 +
           16 * static_cast<int>(line);
}

void CTextDisplay::Render() {
    if (m_pDirect3D == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < m_Lines.size(); ++i) {
        m_pDirect3D->WriteText(m_Lines[i].text.c_str(), GetX(i), GetY(i), m_Color, 0);
    }
}

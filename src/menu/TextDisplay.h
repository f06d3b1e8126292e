#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDirect3D;

// One line of the column: its text and the seconds until it has reached its place.
struct STextLine {
    std::string text; // a copy: the caller's text may go
    float fDelay = 0.0f;
};

// A column of text lines in the left half of the screen from mid-height down. With sliding
// on, each line slides in from the left edge and the lines arrive a second apart.
class CTextDisplay {
  public:
    void Init(CDirect3D* direct3D);
    void AddLine(const char* text);
    void Clear() { m_Lines.clear(); }
    void Update(float dt);
    void Render();
    const std::vector<STextLine>& GetLines() const { return m_Lines; }
    // Where line i is drawn now.
    int GetX(std::size_t line) const;
    int GetY(std::size_t line) const;

  private:
    CDirect3D* m_pDirect3D = nullptr;
    std::vector<STextLine> m_Lines;
    std::uint8_t m_bSlide = 0;
    std::uint32_t m_Color = 0;
};

// The bytes as a help text: laid out and measured by the font as one line, then drawn as the
// game draws a help text: line by line as fgets reads it into a 255-byte buffer, each line
// with CDirect3D::WriteText on a headless window.
#include "FuzzSupport.h"
#include "engine/Direct3D.h"
#include "platform/Font.h"
#include "platform/HeadlessWindow.h"
#include "platform/Path.h"

namespace {

constexpr platform::SRect kScreen{0, 0, 640, 480};

bool InUnitSquare(float u, float v) {
    return u >= 0 && u <= 1 && v >= 0 && v <= 1;
}

// Every glyph inside its clip rectangle and showing a part of the atlas.
void CheckQuad(const platform::SGlyphQuad& q, const platform::SRect& clip) {
    FUZZ_CHECK(q.x0 >= static_cast<float>(clip.left) && q.x0 < q.x1 &&
               q.x1 <= static_cast<float>(clip.right));
    FUZZ_CHECK(q.y0 >= static_cast<float>(clip.top) && q.y0 < q.y1 &&
               q.y1 <= static_cast<float>(clip.bottom));
    FUZZ_CHECK(InUnitSquare(q.u0, q.v0) && InUnitSquare(q.u1, q.v1));
}

// The game's device on a headless window with the settings' 640 × 480.
struct SScreen {
    SScreen() : window(640, 480) { FUZZ_CHECK(direct3D.Init(&window)); }
    platform::CHeadlessWindow window;
    CDirect3D direct3D;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    static const std::unique_ptr<platform::CFont> font = platform::CFont::Create("Arial:bold", 16);
    static SScreen screen;
    FUZZ_CHECK(font != nullptr);
    const std::string_view text = fuzz::AsText(data, size);

    std::vector<platform::SGlyphQuad> quads;
    font->Layout(text, 80, 60, kScreen, quads);
    FUZZ_CHECK(quads.size() <= text.size());
    for (const platform::SGlyphQuad& q : quads) {
        CheckQuad(q, kScreen);
    }
    FUZZ_CHECK(font->MeasureWidth(text) >= 0);

    const std::string path = environment.WriteData("Text1.txt", text);
    platform::FilePtr file = platform::OpenFile(path, "rt");
    FUZZ_CHECK(file != nullptr);
    char line[255];
    for (int i = 0; std::fgets(line, sizeof line, file.get()) != nullptr; ++i) {
        screen.direct3D.WriteText(line, g_iScreenWidth / 8, g_iScreenHeight / 8 + 16 * i,
                                  0xffe8ecffu, 0);
        if (i == 0) {
            // The other placements of the text functions: centred, and right-aligned left
            // of the screen.
            screen.direct3D.WriteText(line, 0, 200, 0xffffffffu, 1);
            screen.direct3D.WriteText(line, -40, 300, 0xffffffffu, 0);
        }
    }
    platform::CRecordingDevice& device = *screen.window.GetRecordingDevice();
    for (const platform::SRecordedDraw& draw : device.GetDraws()) {
        for (const platform::SScreenQuad& q : draw.quads) {
            for (const platform::SScreenVertex& corner : q.corners) {
                FUZZ_CHECK(InUnitSquare(corner.u, corner.v));
            }
        }
    }
    device.ClearDraws();
    return 0;
}

// The bytes as a help text: laid out and measured by the font as one line, then drawn as the
// game draws a help text: cut into rows by the help screen's own reader, which must agree with
// fgets reading into a 255-byte buffer, each row with CDirect3D::WriteText on a headless
// window.
#include "FuzzSupport.h"
#include "engine/Direct3D.h"
#include "game/HelpText.h"
#include "platform/Path.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/media/Font.h"

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

    // The help screen's rows, which must be what a 255-byte fgets buffer reads line by line.
    const std::string path = environment.WriteData("Text1.txt", text);
    static CHelpText help;
    const std::vector<std::string>& rows = help.Rows(1);
    platform::FilePtr file = platform::OpenFile(path, "rt");
    FUZZ_CHECK(file != nullptr);
    char line[CHelpText::kRowBuffer];
    std::size_t count = 0;
    for (; std::fgets(line, sizeof line, file.get()) != nullptr; ++count) {
        FUZZ_CHECK(count < rows.size() && rows[count] == line);
    }
    FUZZ_CHECK(count == rows.size());

    for (std::size_t i = 0; i < rows.size(); ++i) {
        screen.direct3D.WriteText(rows[i].c_str(), screen.direct3D.GetScreenWidth() / 8,
                                  screen.direct3D.GetScreenHeight() / 8 + 16 * static_cast<int>(i),
                                  0xffe8ecffu, 0);
        if (i == 0) {
            // The other placements of the text functions: centred, and right-aligned left
            // of the screen.
            screen.direct3D.WriteText(rows[i].c_str(), 0, 200, 0xffffffffu, 1);
            screen.direct3D.WriteText(rows[i].c_str(), -40, 300, 0xffffffffu, 0);
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

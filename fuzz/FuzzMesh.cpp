// The bytes as a mesh file, loaded with CModel::Load on the recording device of a headless
// window and drawn once.
#include "FuzzSupport.h"
#include "engine/Model.h"
#include "platform/Image.h"
#include "platform/headless/HeadlessWindow.h"

#include <cstring>

namespace {

std::uint64_t ReadLittleEndian(const std::uint8_t* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

struct SDevice {
    SDevice() : window(640, 480) {
        std::string error;
        device = window.CreateDevice(platform::SPresentParameters{640, 480, 32, true}, error);
        FUZZ_CHECK(device != nullptr);
    }
    platform::CHeadlessWindow window;
    std::unique_ptr<platform::IGraphicsDevice> device;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    static SDevice screen;
    static const bool textures = [] {
        // The textures the seed meshes name, and a short name for new ones.
        const platform::SImage image{4, 4, std::vector<std::uint32_t>(16, 0xff336699u)};
        for (const char* name : {"block0.png", "paddel.png", "a.png"}) {
            FUZZ_CHECK(platform::SavePng(image, (environment.DataDir() / name).string()));
        }
        return true;
    }();
    FUZZ_CHECK(textures);
    environment.WriteData("fuzz.mdl", fuzz::AsText(data, size));

    CModel model;
    model.Load(screen.device.get(), "fuzz.mdl");
    model.Render(1, 2, 3, 2, 2, 2);
    platform::CRecordingDevice& device = *screen.window.GetRecordingDevice();
    const std::vector<platform::SRecordedDraw>& draws = device.GetDraws();
    FUZZ_CHECK(std::strlen(model.GetTextureName()) <= 16);

    const std::uint64_t vertices = static_cast<std::uint64_t>(model.GetVertexCount());
    const std::uint64_t indices = static_cast<std::uint64_t>(model.GetIndexCount());
    if (vertices == 0 && indices == 0) {
        FUZZ_CHECK(draws.empty());
        device.ClearDraws();
        return 0;
    }
    // A loaded mesh is what its counts say, within the file, with every index drawn inside
    // its vertices.
    FUZZ_CHECK(vertices > 0 && indices > 0);
    FUZZ_CHECK(size >= 4 && ReadLittleEndian(data, 4) == vertices);
    const std::uint64_t indexAt = 4 + 32 * vertices;
    FUZZ_CHECK(indexAt + 4 <= size && ReadLittleEndian(data + indexAt, 4) == indices);
    FUZZ_CHECK(indexAt + 4 + 2 * indices + 16 <= size);
    for (std::uint64_t i = 0; i < indices / 3 * 3; ++i) {
        FUZZ_CHECK(ReadLittleEndian(data + indexAt + 4 + 2 * i, 2) < vertices);
    }
    if (indices >= 3) {
        FUZZ_CHECK(draws.size() == 1);
        FUZZ_CHECK(static_cast<std::uint64_t>(draws[0].primitiveCount) == indices / 3);
        FUZZ_CHECK(static_cast<std::uint64_t>(draws[0].numVertices) == vertices);
    } else {
        FUZZ_CHECK(draws.empty());
    }
    device.ClearDraws();
    return 0;
}

#include "engine/Model.h"
#include "EngineSupport.h"
#include "platform/D3DXMath.h"

#include <cstring>

namespace {

// The bytes of a mesh file: vertex count, vertices, index count, indices, 16-byte name.
std::string MeshFile(std::uint32_t vertexCount, const std::vector<std::uint16_t>& indices,
                     const std::string& name, std::uint32_t claimedIndexCount = UINT32_MAX) {
    std::string bytes;
    const auto put32 = [&bytes](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    put32(vertexCount);
    for (std::uint32_t i = 0; i < vertexCount; ++i) {
        const float vertex[8] = {static_cast<float>(i), 0, 0, 0, 1, 0, 0, 0};
        bytes.append(reinterpret_cast<const char*>(vertex), sizeof vertex);
    }
    put32(claimedIndexCount == UINT32_MAX ? static_cast<std::uint32_t>(indices.size())
                                          : claimedIndexCount);
    for (const std::uint16_t index : indices) {
        bytes += static_cast<char>(index & 0xFF);
        bytes += static_cast<char>(index >> 8);
    }
    std::string field = name.substr(0, 16);
    field.resize(16, '\0');
    return bytes + field;
}

class Model : public test::CEngineTest {
  protected:
    Model() {
        InitDevice();
        WriteTexture(m_DataDir / "tex.png");
    }
    static void WriteTexture(const std::filesystem::path& path) {
        platform::SImage image{8, 8, std::vector<std::uint32_t>(64, 0xFF336699u)};
        image.pixels[0] = 0xFFFFFFFFu;
        ASSERT_TRUE(platform::SavePng(image, path.string()));
    }
    std::string Rows() { return test::LogRows(); }

    CModel m_Model;
};

TEST_F(Model, TriangleIsDrawnWithScaleThenTranslation) {
    test::WriteFile(m_DataDir / "tri.mdl", MeshFile(3, {0, 1, 2}, "tex.png"));
    m_Model.Load(m_Direct3D.GetDevice(), "tri.mdl");
    EXPECT_EQ(Rows(), "");
    m_Model.Render(5, 0, 0, 2, 2, 2);
    ASSERT_EQ(Draws().size(), 1u);
    const platform::SRecordedDraw& draw = Draws().back();
    EXPECT_EQ(draw.primitiveCount, 1);
    EXPECT_EQ(draw.numVertices, 3);
    EXPECT_EQ(draw.fvf, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    EXPECT_EQ(draw.texture0, m_Model.GetTexture());
    D3DXVECTOR3 origin;
    const D3DXVECTOR3 zero{0, 0, 0};
    D3DXVec3TransformCoord(&origin, &zero, &draw.world);
    EXPECT_EQ(origin, D3DXVECTOR3(5, 0, 0)); // the scaling does not scale the position
    EXPECT_EQ(draw.world.m[0][0], 2.0f);
    // Stream and texture are unbound afterwards.
    EXPECT_EQ(Device().GetStreamSource(), nullptr);
    EXPECT_EQ(Device().GetTexture(0), nullptr);
}

TEST_F(Model, SurplusIndicesAreIgnored) {
    test::WriteFile(m_DataDir / "four.mdl", MeshFile(3, {0, 1, 2, 1}, "tex.png"));
    m_Model.Load(m_Direct3D.GetDevice(), "four.mdl");
    m_Model.Render(0, 0, 0, 1, 1, 1);
    EXPECT_EQ(Draws().back().primitiveCount, 1);
}

TEST_F(Model, ExtraMatrixIsAppliedAfterTheTranslation) {
    test::WriteFile(m_DataDir / "tri.mdl", MeshFile(3, {0, 1, 2}, "tex.png"));
    m_Model.Load(m_Direct3D.GetDevice(), "tri.mdl");
    D3DXMATRIX mirror;
    D3DXMatrixScaling(&mirror, 1, -1, 1);
    m_Model.RenderTransformed(1, 2, 3, 1, 1, 1, mirror);
    D3DXVECTOR3 origin;
    const D3DXVECTOR3 zero{0, 0, 0};
    D3DXVec3TransformCoord(&origin, &zero, &Draws().back().world);
    EXPECT_EQ(origin, D3DXVECTOR3(1, -2, 3));
}

TEST_F(Model, MeshAndTextureFallBackToStandardEachOnItsOwn) {
    test::WriteFile(m_Dir.Path() / "Standard" / "std.mdl", MeshFile(3, {0, 1, 2}, "tex.png"));
    m_Model.Load(m_Direct3D.GetDevice(), "std.mdl"); // mesh from Standard, texture from ours
    EXPECT_EQ(Rows(), "");
    EXPECT_NE(m_Model.GetTexture(), nullptr);

    WriteTexture(m_Dir.Path() / "Standard" / "only.png");
    test::WriteFile(m_DataDir / "own.mdl", MeshFile(3, {0, 1, 2}, "only.png"));
    CModel other;
    other.Load(m_Direct3D.GetDevice(), "own.mdl"); // mesh ours, texture from Standard
    EXPECT_EQ(Rows(), "");
    EXPECT_NE(other.GetTexture(), nullptr);
}

TEST_F(Model, TextureIs64By64WithMipsAndWhiteTransparent) {
    test::WriteFile(m_DataDir / "tri.mdl", MeshFile(3, {0, 1, 2}, "tex.png"));
    m_Model.Load(m_Direct3D.GetDevice(), "tri.mdl");
    const auto* texture = static_cast<platform::CRecordedTexture*>(m_Model.GetTexture());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetWidth(), 64);
    EXPECT_EQ(texture->GetHeight(), 64);
    EXPECT_EQ(texture->GetLevelCount(), 7);
    EXPECT_EQ(texture->GetImage().At(0, 0) >> 24, 0u);      // the white corner
    EXPECT_EQ(texture->GetImage().At(40, 40), 0xFF336699u); // the rest
}

TEST_F(Model, FifteenCharacterNameIsUsedWholeAndAFullFieldStaysInside) {
    WriteTexture(m_DataDir / "fifteen_chars.p");
    test::WriteFile(m_DataDir / "a.mdl", MeshFile(3, {0, 1, 2}, "fifteen_chars.p"));
    m_Model.Load(m_Direct3D.GetDevice(), "a.mdl");
    EXPECT_STREQ(m_Model.GetTextureName(), "fifteen_chars.p");
    EXPECT_NE(m_Model.GetTexture(), nullptr);

    test::WriteFile(m_DataDir / "b.mdl", MeshFile(3, {0, 1, 2}, "sixteen_chars.pn"));
    CModel other;
    other.Load(m_Direct3D.GetDevice(), "b.mdl");
    EXPECT_STREQ(other.GetTextureName(), "sixteen_chars.pn");
    EXPECT_EQ(Rows(), test::ErrorRow("Texture konnte nicht erzeugt werden!") +
                          test::ErrorRow("sixteen_chars.pn"));
    other.Render(0, 0, 0, 1, 1, 1); // drawn untextured
    EXPECT_EQ(Draws().back().texture0, nullptr);
}

TEST_F(Model, MissingFileIsReportedAndDrawsNothing) {
    m_Model.Load(m_Direct3D.GetDevice(), "none.mdl");
    EXPECT_EQ(Rows(), test::ErrorRow("Standard\\none.mdl") +
                          test::ErrorRow("...konnte nicht geöffnet werden!"));
    m_Model.Render(0, 0, 0, 1, 1, 1);
    EXPECT_TRUE(Draws().empty());
}

TEST_F(Model, CountsBeyondTheFileLeaveTheModelEmpty) {
    const std::string good = MeshFile(3, {0, 1, 2}, "tex.png");
    const std::vector<std::string> bad = {
        "",
        good.substr(0, 3),
        good.substr(0, 50),                         // vertices cut short
        MeshFile(3, {0, 1, 2}, "tex.png", 1000000), // more indices than there are
        MeshFile(3, {0, 1, 2}, "tex.png").substr(0, 4 + 96 + 4 + 6 + 8), // name cut short
        std::string("\xFF\xFF\xFF\xFF", 4) + good.substr(4),             // 4 billion vertices
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        test::WriteFile(m_DataDir / "bad.mdl", bad[i]);
        CModel model;
        model.Load(m_Direct3D.GetDevice(), "bad.mdl");
        model.Render(0, 0, 0, 1, 1, 1);
        EXPECT_EQ(model.GetVertexCount(), 0) << i;
        EXPECT_TRUE(Draws().empty()) << i;
        EXPECT_NE(Rows().find("bad.mdl"), std::string::npos) << i;
        g_Log.Open();
    }
}

TEST_F(Model, IndexPastTheVerticesLeavesTheModelEmpty) {
    test::WriteFile(m_DataDir / "far.mdl", MeshFile(3, {0, 1, 3}, "tex.png"));
    m_Model.Load(m_Direct3D.GetDevice(), "far.mdl");
    m_Model.Render(0, 0, 0, 1, 1, 1);
    EXPECT_TRUE(Draws().empty());
    EXPECT_EQ(Rows(), test::ErrorRow(g_Directory + "far.mdl") +
                          test::ErrorRow("...enthält Indizes außerhalb der Punkte!"));
}

TEST_F(Model, EmptyMeshReportsItsBuffers) {
    test::WriteFile(m_DataDir / "empty.mdl", MeshFile(0, {}, "tex.png"));
    m_Model.Load(m_Direct3D.GetDevice(), "empty.mdl");
    EXPECT_EQ(Rows(), test::ErrorRow("VertexBuffer konnte nicht erstellt werden!") +
                          test::ErrorRow("IndexBuffer konnte nicht erstellt werden!"));
    m_Model.Render(0, 0, 0, 1, 1, 1);
    EXPECT_TRUE(Draws().empty());
}

} // namespace

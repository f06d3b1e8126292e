#include "Assets.h"

#include "platform/D3DXMath.h"
#include "platform/Profile.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

// The meshes of the data set, in the game's mesh format: N vertices (position, normal,
// texture coordinate), M 16-bit indices of a triangle list, a 16-byte texture name. Front
// faces turn clockwise as seen from outside, as the renderer culls the others.
namespace assetgen {
namespace {

constexpr float kPi = 3.14159265f;

struct SVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    float u = 0;
    float v = 0;
};

class CMeshBuilder {
  public:
    std::uint16_t Add(const D3DXVECTOR3& position, const D3DXVECTOR3& normal, float u, float v) {
        m_Vertices.push_back({position, normal, u, v});
        return static_cast<std::uint16_t>(m_Vertices.size() - 1);
    }

    // A triangle facing the side its vertices' normals point to: the order is turned
    // round when it would face the other way.
    void Triangle(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
        const D3DXVECTOR3 e1 = m_Vertices[b].position - m_Vertices[a].position;
        const D3DXVECTOR3 e2 = m_Vertices[c].position - m_Vertices[a].position;
        D3DXVECTOR3 face;
        D3DXVec3Cross(&face, &e1, &e2);
        const D3DXVECTOR3 normal =
            m_Vertices[a].normal + m_Vertices[b].normal + m_Vertices[c].normal;
        if (D3DXVec3Dot(&face, &normal) < 0) {
            std::swap(b, c);
        }
        m_Indices.insert(m_Indices.end(), {a, b, c});
    }

    // A flat four-cornered face, corners in order round its edge, with its texture
    // coordinates taken from the positions by the given mapping.
    template <typename Map>
    void Quad(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2,
              const D3DXVECTOR3& p3, const D3DXVECTOR3& outward, Map map) {
        const D3DXVECTOR3 corners[4] = {p0, p1, p2, p3};
        std::uint16_t index[4];
        for (int i = 0; i < 4; ++i) {
            float u = 0;
            float v = 0;
            map(corners[i], u, v);
            index[i] = Add(corners[i], outward, u, v);
        }
        Triangle(index[0], index[1], index[2]);
        Triangle(index[0], index[2], index[3]);
    }

    std::string Bytes(const char* textureName) const {
        std::string bytes;
        const auto put32 = [&bytes](std::uint32_t value) {
            for (int i = 0; i < 4; ++i) {
                bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
            }
        };
        const auto putFloat = [&put32](float value) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &value, 4);
            put32(bits);
        };
        put32(static_cast<std::uint32_t>(m_Vertices.size()));
        for (const SVertex& v : m_Vertices) {
            for (const float f : {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y,
                                  v.normal.z, v.u, v.v}) {
                putFloat(f);
            }
        }
        put32(static_cast<std::uint32_t>(m_Indices.size()));
        for (const std::uint16_t index : m_Indices) {
            bytes += static_cast<char>(index & 0xFF);
            bytes += static_cast<char>(index >> 8);
        }
        char name[16] = {};
        std::strncpy(name, textureName, 15);
        bytes.append(name, 16);
        return bytes;
    }

  private:
    std::vector<SVertex> m_Vertices;
    std::vector<std::uint16_t> m_Indices;
};

D3DXVECTOR3 Normalized(D3DXVECTOR3 v) {
    D3DXVec3Normalize(&v, &v);
    return v;
}

// A sphere of radius 1 around (0, 1, 0): the ball rests on the floor when drawn at
// height 0 scaled by its radius.
std::string Ball() {
    constexpr int kSegments = 28;
    constexpr int kRings = 18;
    CMeshBuilder mesh;
    for (int ring = 0; ring <= kRings; ++ring) {
        const float theta = kPi * static_cast<float>(ring) / kRings; // from the top
        for (int segment = 0; segment <= kSegments; ++segment) {
            const float phi = 2 * kPi * static_cast<float>(segment) / kSegments;
            const D3DXVECTOR3 n{std::sin(theta) * std::cos(phi), std::cos(theta),
                                std::sin(theta) * std::sin(phi)};
            mesh.Add(n + D3DXVECTOR3{0, 1, 0}, n, static_cast<float>(segment) / kSegments * 2,
                     static_cast<float>(ring) / kRings);
        }
    }
    const auto at = [](int ring, int segment) {
        return static_cast<std::uint16_t>(ring * (kSegments + 1) + segment);
    };
    for (int ring = 0; ring < kRings; ++ring) {
        for (int segment = 0; segment < kSegments; ++segment) {
            mesh.Triangle(at(ring, segment), at(ring, segment + 1), at(ring + 1, segment + 1));
            mesh.Triangle(at(ring, segment), at(ring + 1, segment + 1), at(ring + 1, segment));
        }
    }
    return mesh.Bytes("kugel.png");
}

// A box from (x0, 0, z0) to (x1, height, z1) whose top edges are bevelled by bevel: a top
// face, four slanted faces around it and four upright sides. There is no bottom face: it is
// never seen, not even in the mirror below the floor.
void BevelledBox(CMeshBuilder& mesh, float x0, float x1, float z0, float z1, float height,
                 float bevel) {
    const float top = height;
    const float shoulder = height - bevel;
    const float w = x1 - x0;
    const float d = z1 - z0;
    // Texture coordinates: the top face shows the whole picture; sides wrap it around.
    const auto topMap = [&](const D3DXVECTOR3& p, float& u, float& v) {
        u = (p.x - x0) / w;
        v = 1 - (p.z - z0) / d;
    };
    const auto frontMap = [&](const D3DXVECTOR3& p, float& u, float& v) {
        u = (p.x - x0) / w;
        v = 1 - p.y / height * 0.3f;
    };
    const auto sideMap = [&](const D3DXVECTOR3& p, float& u, float& v) {
        u = (p.z - z0) / d;
        v = 1 - p.y / height * 0.3f;
    };
    mesh.Quad({x0 + bevel, top, z1 - bevel}, {x1 - bevel, top, z1 - bevel},
              {x1 - bevel, top, z0 + bevel}, {x0 + bevel, top, z0 + bevel}, {0, 1, 0}, topMap);
    // Slanted faces: near, far, left, right.
    mesh.Quad({x0 + bevel, top, z0 + bevel}, {x1 - bevel, top, z0 + bevel}, {x1, shoulder, z0},
              {x0, shoulder, z0}, Normalized({0, 1, -1}), frontMap);
    mesh.Quad({x1 - bevel, top, z1 - bevel}, {x0 + bevel, top, z1 - bevel}, {x0, shoulder, z1},
              {x1, shoulder, z1}, Normalized({0, 1, 1}), frontMap);
    mesh.Quad({x0 + bevel, top, z1 - bevel}, {x0 + bevel, top, z0 + bevel}, {x0, shoulder, z0},
              {x0, shoulder, z1}, Normalized({-1, 1, 0}), sideMap);
    mesh.Quad({x1 - bevel, top, z0 + bevel}, {x1 - bevel, top, z1 - bevel}, {x1, shoulder, z1},
              {x1, shoulder, z0}, Normalized({1, 1, 0}), sideMap);
    // Upright sides.
    mesh.Quad({x0, shoulder, z0}, {x1, shoulder, z0}, {x1, 0, z0}, {x0, 0, z0}, {0, 0, -1},
              frontMap);
    mesh.Quad({x1, shoulder, z1}, {x0, shoulder, z1}, {x0, 0, z1}, {x1, 0, z1}, {0, 0, 1},
              frontMap);
    mesh.Quad({x0, shoulder, z1}, {x0, shoulder, z0}, {x0, 0, z0}, {x0, 0, z1}, {-1, 0, 0},
              sideMap);
    mesh.Quad({x1, shoulder, z0}, {x1, shoulder, z1}, {x1, 0, z1}, {x1, 0, z0}, {1, 0, 0}, sideMap);
}

float SettingOf(const std::string& settings, const std::string& section, const char* key,
                float fallback) {
    const std::string value = platform::ReadProfileString(section, key, "", settings);
    return value.empty() ? fallback : static_cast<float>(std::atof(value.c_str()));
}

// Block type i at the size its settings give: x centred on 0, z from 0 to SizeZ, y from 0
// up, as the collision places it. The types differ in their bevel as in their pictures.
std::string Block(const std::string& settings, int type) {
    const std::string section = "Block" + std::to_string(type);
    const float sizeX = SettingOf(settings, section, "SizeX", 1.8f);
    const float sizeY = SettingOf(settings, section, "SizeY", 0.8f);
    const float sizeZ = SettingOf(settings, section, "SizeZ", 0.8f);
    static constexpr float kBevel[5] = {0.18f, 0.12f, 0.25f, 0.06f, 0.3f};
    const float bevel = std::fmin(kBevel[type % 5], std::fmin(sizeY, std::fmin(sizeX, sizeZ)) / 3);
    CMeshBuilder mesh;
    BevelledBox(mesh, -sizeX / 2, sizeX / 2, 0, sizeZ, sizeY, bevel);
    return mesh.Bytes(("block" + std::to_string(type) + ".png").c_str());
}

// The board, 10 × 10 from (0, 0, 0): the floor, walls on the left and right and, when
// closed, at the far edge. The near edge is open: balls are lost there.
std::string Board(bool closed) {
    constexpr float kSize = 10;
    constexpr float kWall = 0.5f;   // thickness
    constexpr float kHeight = 0.6f; // height
    CMeshBuilder mesh;
    const auto floorMap = [](const D3DXVECTOR3& p, float& u, float& v) {
        u = p.x / 2.5f;
        v = 4 - p.z / 2.5f;
    };
    // The floor in cells, so that the light, which is computed at the vertices, falls off
    // across it as it did from a light computed per pixel.
    constexpr int kCells = 16;
    constexpr float kCell = kSize / kCells;
    for (int row = 0; row < kCells; ++row) {
        for (int column = 0; column < kCells; ++column) {
            const float x0 = static_cast<float>(column) * kCell;
            const float z0 = static_cast<float>(row) * kCell;
            mesh.Quad({x0, 0, z0 + kCell}, {x0 + kCell, 0, z0 + kCell}, {x0 + kCell, 0, z0},
                      {x0, 0, z0}, {0, 1, 0}, floorMap);
        }
    }
    const float farEnd = closed ? kSize + kWall : kSize;
    // Left and right walls from the near edge to the far end.
    BevelledBox(mesh, -kWall, 0, 0, farEnd, kHeight, 0.1f);
    BevelledBox(mesh, kSize, kSize + kWall, 0, farEnd, kHeight, 0.1f);
    if (closed) {
        BevelledBox(mesh, 0, kSize, kSize, kSize + kWall, kHeight, 0.1f);
    }
    return mesh.Bytes("brett.png");
}

// The paddle, 4 units wide, centred on x, its front face at z = 0 where the ball bounces
// and its back towards the player.
std::string Paddle() {
    CMeshBuilder mesh;
    BevelledBox(mesh, -2, 2, -0.6f, 0, 0.45f, 0.15f);
    return mesh.Bytes("paddel.png");
}

} // namespace

std::vector<SMesh> MakeMeshes(const std::string& settingsPath) {
    std::vector<SMesh> meshes = {{"ball.mdl", Ball()},
                                 {"Board.mdl", Board(true)},
                                 {"Board2.mdl", Board(false)},
                                 {"paddel.mdl", Paddle()}};
    for (int type = 0; type < 5; ++type) {
        meshes.push_back({"Block" + std::to_string(type) + ".mdl", Block(settingsPath, type)});
    }
    return meshes;
}

} // namespace assetgen

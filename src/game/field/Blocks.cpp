#include "Blocks.h"

#include "Ball.h"
#include "Layout.h"
#include "Paddel.h"
#include "Random.h"
#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "engine/TextureLoader.h"
#include "platform/D3DXMath.h"
#include "platform/Path.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr float kPi = 3.1415927f;
// More types than this cannot be meant; more blocks than this no layout needs.
constexpr int kMaxBlockTypes = 100;
constexpr std::size_t kMaxBlocks = 20000;
constexpr std::size_t kMaxLayoutFile = std::size_t{4} * 1024 * 1024;

} // namespace

void CBlocks::Init(const SGameContext& links, platform::IGraphicsDevice* device) {
    m_Links = links;
    m_pDevice = device;
    m_Blocks.clear();
    LoadBlockTypes(ReadIniInt("Options", "NumBlocks"));
    m_bMirror = ReadIniInt("Options", "Spiegelung") == 1;
    m_bParticles = ReadIniInt("Options", "Partikeleffekte") == 1;
    if (m_Links.pSound != nullptr) {
        m_Links.pSound->LoadSound("ploing", 4);
        m_Links.pSound->LoadSound("wall", 5);
        m_Links.pSound->LoadSound("newball", 4);
    }
    m_Particles.LoadTexture(device, "sprite.png");
    // The cracks are looked up like every data file; without them blocks show none.
    m_pCrackTexture = D3DXCreateTextureFromFile(device, DataFilePath("risse.png"));
}

void CBlocks::InitBackdrop(platform::IGraphicsDevice* device) {
    m_pDevice = device;
    LoadBlockTypes(ReadIniInt("Options", "NumBlocks"));
    if (!m_BlockInfo.empty()) {
        LOG_VARIABLE(m_BlockInfo[0].Hitpoints);
    }
    LoadLevel(0);
    if (m_BlockInfo.size() > 1) {
        LOG_VARIABLE(m_BlockInfo[1].Hitpoints);
    }
    m_Particles.LoadTexture(device, "ball.png");
}

void CBlocks::LoadBlockTypes(int count) {
    g_Log << LOG_INFO << "Blockinformationen laden";
    if (count < 0 || count > kMaxBlockTypes) {
        LogError("Ungültige Anzahl von Blocktypen: NumBlocks");
        count = std::clamp(count, 0, kMaxBlockTypes);
    }
    m_BlockInfo = std::vector<SBlockInfo>(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string section = "Block" + std::to_string(i);
        const std::string mesh = section + ".mdl";
        g_Log << LOG_INFO << section << "  " << mesh;
        SBlockInfo& info = m_BlockInfo[static_cast<std::size_t>(i)];
        info.Hitpoints = ReadIniFloat(section.c_str(), "Hitpoints");
        LOG_VARIABLE(m_BlockInfo[i].Hitpoints);
        info.SizeX = ReadIniFloat(section.c_str(), "SizeX");
        info.SizeY = ReadIniFloat(section.c_str(), "SizeY");
        info.SizeZ = ReadIniFloat(section.c_str(), "SizeZ");
        info.Index = i;
        info.Model.Load(m_pDevice, mesh.c_str());
    }
    g_Log << LOG_INFO << "Blockinformationen geladen";
}

void CBlocks::LoadLevel(int level) {
    const std::string section = LevelSection(level);
    const float z0 = ReadIniFloat(section.c_str(), "SizeZ") - 1;
    m_Blocks.clear();
    m_iIndestructible = 0;
    const std::string path = DataFilePath(section + ".txt");
    g_Log << LOG_INFO << "jaja"; // this row is the log's as it always was: keep it
    const std::optional<std::string> file = platform::ReadWholeFile(path, kMaxLayoutFile);
    if (!file) {
        for (int i = 0; i < 7; ++i) {
            for (int j = 0; j < 4; ++j) {
                m_Blocks.push_back(SBlock{
                    D3DXVECTOR3(static_cast<float>(2 * i + 1), 0, z0 - static_cast<float>(2 * j)),
                    0, 1.0f});
            }
        }
        g_Log << LOG_FEHLER << "Datei konnte nicht geladen werden: " << path;
        return;
    }
    const float blockSizeX = ReadIniFloat(section.c_str(), "BlockSizeX");
    const float blockSizeY = ReadIniFloat(section.c_str(), "BlockSizeY");

    const SLayout layout = ParseLayout(*file, static_cast<int>(m_BlockInfo.size()), kMaxBlocks);
    for (const SLayoutCell& cell : layout.cells) {
        m_Blocks.push_back(
            SBlock{D3DXVECTOR3(blockSizeX / 2 + static_cast<float>(cell.column) * blockSizeX, 0,
                               z0 - static_cast<float>(cell.row) * blockSizeY),
                   cell.type, m_BlockInfo[static_cast<std::size_t>(cell.type)].Hitpoints});
        if (cell.type == 3) {
            ++m_iIndestructible;
        }
    }
    if (layout.unknownType) {
        g_Log << LOG_FEHLER
              << "Blocktyp ohne Eintrag (NumBlocks) in der ini-Datei, Datei: " << path;
    }
    if (layout.tooMany) {
        g_Log << LOG_FEHLER << "Zu viele Blöcke, der Rest bleibt leer: " << path;
    }
}

void CBlocks::Update(float dt) {
    std::erase_if(m_Blocks, [](const SBlock& block) { return block.Hitpoints <= 0; });
    if (m_bParticles) {
        m_Particles.Update(dt);
    }
}

void CBlocks::Release() {
    m_Blocks.clear();
    m_BlockInfo.clear();
}

EBlockHit CBlocks::Collide(D3DXVECTOR3& position, float r, D3DXVECTOR3& direction) {
    SBlock* hit = FirstTouched(position, r);
    if (hit == nullptr) {
        return BLOCK_MISSED;
    }
    Reflect(*hit, position, r, direction);
    if (hit->Type != 3) {
        hit->Hitpoints -= 1; // the block leaves the list at the next Update
        if (m_bParticles) {
            Emit(position, hit->Type);
        }
    }
    return Act(hit->Type, position) ? BLOCK_HIT_RETURNS_BALLS : BLOCK_HIT;
}

SBlock* CBlocks::FirstTouched(const D3DXVECTOR3& position, float r) {
    for (SBlock& block : m_Blocks) {
        if (block.Type < 0 || block.Type >= static_cast<int>(m_BlockInfo.size())) {
            continue;
        }
        const SBlockInfo& info = m_BlockInfo[static_cast<std::size_t>(block.Type)];
        const float hx = info.SizeX / 2;
        const float bx = block.Position.x;
        const float bz = block.Position.z;
        if (position.x + r >= bx - hx && position.x - r <= bx + hx &&
            position.z - r <= bz + info.SizeZ && position.z + r >= bz) {
            return &block;
        }
    }
    return nullptr;
}

void CBlocks::Reflect(const SBlock& block, D3DXVECTOR3& position, float r,
                      D3DXVECTOR3& direction) const {
    const SBlockInfo& info = m_BlockInfo[static_cast<std::size_t>(block.Type)];
    const float hx = info.SizeX / 2;
    const float sz = info.SizeZ;
    const float bx = block.Position.x;
    const float bz = block.Position.z;
    float& x = position.x;
    float& z = position.z;

    // The face, from the ball's centre: the z face unless an x face is strictly further.
    enum class EFace { Near, Far, Left, Right };
    float d = 0;
    EFace face = EFace::Far;
    if (direction.z > 0) {
        d = bz - z;
        face = EFace::Near;
    } else {
        d = z - (bz + sz);
        face = EFace::Far;
    }
    if (direction.x > 0) {
        if ((bx - hx) - x > d) {
            face = EFace::Left;
        }
    } else if (x - (bx + hx) > d) {
        face = EFace::Right;
    }
    switch (face) {
    case EFace::Near:
        direction.z = -direction.z;
        z = bz - r;
        break;
    case EFace::Far:
        direction.z = -direction.z;
        z = bz + sz + r;
        break;
    case EFace::Left:
        direction.x = -direction.x;
        x = bx - hx - r;
        break;
    case EFace::Right:
        direction.x = -direction.x;
        x = bx + hx + r;
        break;
    }
}

bool CBlocks::Act(int type, const D3DXVECTOR3& position) {
    CSound* sound = m_Links.pSound;
    switch (type) {
    case 0:
    case 1:
        if (m_Links.pEvents != nullptr) {
            m_Links.pEvents->BlockHit();
        }
        if (sound != nullptr) {
            sound->Play("ploing", false);
        }
        break;
    case 2:
        ReleaseBall(position);
        if (sound != nullptr) {
            sound->Play("newball", false);
        }
        break;
    case 3:
        if (sound != nullptr) {
            sound->Play("wall", false);
        }
        break;
    case 4:
        return RandomEffect();
    default:
        break;
    }
    return false;
}

void CBlocks::ReleaseBall(const D3DXVECTOR3& position) {
    // A new ball in a random direction across the board; one of no length is drawn again
    // (the ball itself makes one that is too flat steep enough to come back).
    D3DXVECTOR3 away;
    for (int tries = 0; tries < 100 && D3DXVec3Length(&away) == 0; ++tries) {
        away.x = static_cast<float>(Rand() % 200) / 100.0f - 1.0f;
        away.y = static_cast<float>(Rand() % 200) / 100.0f - 1.0f;
        away.z = static_cast<float>(Rand() % 200) / 100.0f - 1.0f;
        away.y = 0;
    }
    if (D3DXVec3Length(&away) == 0) {
        away = D3DXVECTOR3(0, 0, 1);
    }
    D3DXVec3Normalize(&away, &away);
    if (m_Links.pBalls != nullptr) {
        m_Links.pBalls->Add(position, away);
    }
}

bool CBlocks::RandomEffect() {
    switch (Rand() % 5) {
    case 0:
        if (m_Links.pPaddel != nullptr) {
            m_Links.pPaddel->Grow(1);
        }
        break;
    case 1:
        if (m_Links.pPaddel != nullptr) {
            m_Links.pPaddel->Ghost();
        }
        break;
    case 2:
        if (m_Links.pEvents != nullptr) {
            m_Links.pEvents->BallsWon(1);
        }
        break;
    case 3:
        return true; // every ball in play back to the stock: the ball set sees to it
    case 4:
        if (m_Links.pEvents != nullptr) {
            m_Links.pEvents->LaunchWanted();
            m_Links.pEvents->LaunchWanted();
        }
        break;
    }
    return false;
}

void CBlocks::Emit(const D3DXVECTOR3& p, int type) {
    static constexpr float kAtlas[4][4] = {
        {0.0f, 0.0f, 0.5f, 0.5f}, // type 0: top left
        {0.5f, 0.0f, 1.0f, 0.5f}, // type 1: top right
        {0.0f, 0.5f, 0.5f, 1.0f}, // type 2: bottom left
        {0.5f, 0.5f, 1.0f, 1.0f}, // every other type: bottom right
    };
    const float* quarter = kAtlas[type >= 0 && type < 3 ? type : 3];
    for (int i = 0; i < 12; ++i) {
        const auto oz = static_cast<float>(Rand() % 100 - 50);
        const auto oy = static_cast<float>(Rand() % 50);
        const auto ox = static_cast<float>(Rand() % 100 - 50);
        const auto life = static_cast<float>(1 + Rand() % 4);
        const float spin = static_cast<float>(Rand() % 12 - 6) * kPi;
        SParticle particle;
        particle.vPos = p;
        particle.vDrift = p + D3DXVECTOR3(ox, oy, oz);
        particle.vTexTopLeft = D3DXVECTOR2{quarter[0], quarter[1]};
        particle.vTexBottomRight = D3DXVECTOR2{quarter[2], quarter[3]};
        particle.fLifeTime = life;
        particle.fAge = 0;
        particle.fSize = 0.3f;
        particle.fSizeChange = 0.3f;
        particle.fRotation = 0;
        particle.fRotationChange = spin;
        m_Particles.Add(particle);
    }
}

bool CBlocks::BelowTheFloor(const D3DXMATRIX& viewProjection, int width, int height,
                            platform::SRect& rect) const {
    // One box around all mirror images and one around the particles reaching down: what
    // lies inside a box is seen within the box's own screen rectangle.
    SBox mirrored;
    if (m_bMirror) {
        for (const SBlock& block : m_Blocks) {
            if (block.Type < 0 || block.Type >= static_cast<int>(m_BlockInfo.size())) {
                continue;
            }
            const CModel& model = m_BlockInfo[static_cast<std::size_t>(block.Type)].Model;
            if (model.GetVertexCount() == 0) {
                continue;
            }
            // Mirrored in the floor: heights change their sign.
            const D3DXVECTOR3 low = model.GetLowest() + block.Position;
            const D3DXVECTOR3 high = model.GetHighest() + block.Position;
            mirrored.Add(D3DXVECTOR3{low.x, -high.y, low.z}, D3DXVECTOR3{high.x, -low.y, high.z});
        }
    }
    SBox particles;
    if (m_bParticles) {
        for (const SParticle& particle : m_Particles.GetParticles()) {
            // A square facing the camera, turned any way, lies within its half diagonal.
            const D3DXVECTOR3 c = particle.Centre();
            const float r = std::fabs(particle.Size()) * 0.7072f;
            if (c.y - r < 0) {
                particles.Add(c - D3DXVECTOR3{r, r, r}, c + D3DXVECTOR3{r, r, r});
            }
        }
    }
    CScreenBounds bounds(viewProjection, width, height);
    for (const SBox* box : {&mirrored, &particles}) {
        if (box->any) {
            bounds.AddBox(box->low, box->high);
        }
    }
    return bounds.Get(rect);
}

void CBlocks::Render(D3DXMATRIX view, bool reflect) {
    if (m_pDevice == nullptr) {
        return;
    }
    m_pDevice->SetTexture(1, m_pCrackTexture.get());
    const auto drawAll = [this](const D3DXMATRIX* mirror) {
        for (const SBlock& block : m_Blocks) {
            if (block.Type < 0 || block.Type >= static_cast<int>(m_BlockInfo.size())) {
                continue;
            }
            // Cracks on a type-1 block with exactly one hitpoint left.
            m_pDevice->SetTextureStageState(
                1, D3DTSS_COLOROP,
                block.Type == 1 && block.Hitpoints == 1.0f ? D3DTOP_MODULATE : D3DTOP_DISABLE);
            CModel& model = m_BlockInfo[static_cast<std::size_t>(block.Type)].Model;
            if (mirror == nullptr) {
                model.Render(block.Position.x, block.Position.y, block.Position.z, 1, 1, 1);
            } else {
                model.RenderTransformed(block.Position.x, block.Position.y, block.Position.z, 1, 1,
                                        1, *mirror);
            }
        }
    };
    drawAll(nullptr);
    if (m_bParticles) {
        D3DXMATRIX identity;
        m_Particles.Render(view, *D3DXMatrixIdentity(&identity));
    }
    if (m_bMirror && reflect) {
        const D3DXVECTOR3 a{0, 0, 1};
        const D3DXVECTOR3 b{1, 0, 1};
        const D3DXVECTOR3 c{1, 0, 0};
        D3DXPLANE floor;
        D3DXPlaneFromPoints(&floor, &a, &b, &c);
        D3DXMATRIX mirror;
        D3DXMatrixReflect(&mirror, &floor);
        // Mirroring turns the triangles' winding round.
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        drawAll(&mirror);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    }
    m_pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
}

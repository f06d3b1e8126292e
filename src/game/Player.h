#pragma once

#include "field/GameContext.h"

#include <cstdint>

class CDirect3D;
class CInput;

// The player of the running game: steers the paddle from the mouse, the keyboard or a
// controller, launches balls from a limited stock, counts block hits and paddle contacts in
// the level, turns them into points with the level's factor, and draws the score lines and
// the statistics.
class CPlayer final : public IFieldEvents {
  public:
    void Init(const SGameContext& links, CDirect3D* direct3D, CInput* input);
    // A new game: no score, a full stock, fresh level counters.
    void Reset();
    // The mouse's movement in a frame moves the paddle as far as it did in a frame of this
    // many seconds, where "MouseSensitive" was set: velocity = movement × sensitivity.
    static constexpr float kMouseFrame = 1.0f / 60.0f;

    // Steering for one frame of play of dt seconds. The arrow keys, Space and the controller
    // always work; the mouse where "Control" is 1.
    void Control(float dt);
    // A ball from the stock, if there is one.
    void Launch();
    // A block hit, worth more the more balls are in play.
    void AddBlockHit();
    void AddPaddleContact() { m_fPaddleContacts += 1; }
    void AddBalls(int n) { m_iBalls += n; }
    // What the play field reports.
    void BlockHit() override { AddBlockHit(); }
    void PaddleContact() override { AddPaddleContact(); }
    void BallsWon(int count) override { AddBalls(count); }
    void LaunchWanted() override { Launch(); }

    // Adds the level's points to the score and starts the counters anew.
    void FinishLevel();
    void ComputeLevelPoints() { m_fLevelPoints = LevelScore(); }

    float GetScore() const { return m_fScore; }
    int GetBalls() const { return m_iBalls; }
    std::int16_t GetBlocksHit() const { return static_cast<std::int16_t>(m_fBlocksHit); }
    std::int16_t GetPaddleContacts() const { return static_cast<std::int16_t>(m_fPaddleContacts); }
    float GetLevelPoints() const { return m_fLevelPoints; }

    void DrawHud();
    void DrawStatistics();
    // The texts of the score lines (0 to 3) and of the statistics lines (0 to 7), as they
    // are drawn.
    static constexpr int kHudLines = 4;
    static constexpr int kStatisticsLines = 8;
    void FormatHudLine(int line, char (&text)[128]) const;
    void FormatStatisticsLine(int line, char (&text)[128]) const;

  private:
    // What steers the paddle: the device the player touched last.
    enum class ESteering { Mouse, Keys, Stick };
    void SteerByMouse(float dt);
    // The level's difficulty factor, read anew every time.
    float Factor() const;
    float Accuracy() const { return m_fBlocksHit / m_fPaddleContacts; }
    float LevelScore() const { return m_fBlocksHit * Accuracy() * Factor(); }

    CDirect3D* m_pDirect3D = nullptr;
    CInput* m_pInput = nullptr;
    std::int16_t m_iControl = 0;
    ESteering m_eSteering = ESteering::Keys;
    float m_fMouseSensitive = 1.0f;
    float m_fMouseDistance = 0.0f; // of the mouse's movement, still to be covered
    float m_fScore = 0.0f;
    float m_fLevelPoints = 0.0f;
    float m_fPaddleContacts = 1.0f;
    float m_fBlocksHit = 0.0f;
    int m_iBalls = 0;
    std::uint32_t m_PlayerColor = 0;
    std::uint32_t m_StatisticsColor = 0;
    SGameContext m_Links;
};

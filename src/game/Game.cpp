#include "Game.h"

#include "ScoreFile.h"
#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "input/Input.h"
#include "platform/Numeric.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <string>

CGame::CGame()
    : m_Context{&m_Board,  &m_Paddel,       &m_Balls,  &m_Blocks,
                &m_Player, &m_iLevelnummer, &m_fShake, nullptr} {}

CGame::~CGame() {
    Release();
}

void CGame::Init(CDirect3D* direct3D, CInput* input, CSound* sound) {
    g_Log << LOG_INFO << "Game: Initilaisierung:"; // spelt so on purpose: the log's rows stay
    m_pDirect3D = direct3D;
    m_pInput = input;
    m_pSound = sound;
    m_pDevice = direct3D != nullptr ? direct3D->GetDevice() : nullptr;
    m_Context.pSound = sound;

    m_Balls.Init(m_Context, m_pDevice, sound);
    m_Paddel.Init(m_pDevice, m_Context);
    m_Player.Init(m_Context, direct3D, input);
    m_Board.Init(m_pDevice);
    m_Blocks.Init(m_Context, m_pDevice);

    m_iLevelnummer = 1;
    LoadLevel(); // before the options: this first load runs without transitions

    m_bMirror = ReadIniInt("Options", "Spiegelung") == 1;
    m_bBallSpecular = ReadIniInt("Options", "Ballreflexionen") == 1;
    m_bTransitions = ReadIniInt("Options", "Leveluebergaenge") == 1;
    m_PlayerTextColor = ReadIniColor("Options", "SpielerTextColor");
    m_HelpTextColor = ReadIniColor("Options", "HilfeTextColor");
    m_InfoTextColor = ReadIniColor("Options", "InfoTextColor");
    m_SelectTextColor = ReadIniColor("Options", "AuswahlTextColor");

    m_LeftArrow.Load("links.png", direct3D, 0xFF000000u);
    m_RightArrow.Load("rechts.png", direct3D, 0xFF000000u);
    m_Pointer.Load("zeiger.png", direct3D, 0xFF000000u);
    const int width = direct3D != nullptr ? direct3D->GetScreenWidth() : 0;
    const int height = direct3D != nullptr ? direct3D->GetScreenHeight() : 0;
    m_LeftArrow.SetPosition(0, height / 2);
    m_RightArrow.SetPosition(width - m_RightArrow.GetWidth(), height / 2);

    if (sound != nullptr) {
        sound->LoadSound("gameover", 4);
        sound->LoadSound("highscore", 4);
        sound->LoadSound("next", 4);
    }
    if (m_pDevice != nullptr) {
        m_pDevice->SetRenderState(D3DRS_LIGHTING, 1);
    }

    // The light: a point light that goes with the camera. Each colour is read alpha first.
    m_Light = ReadIniLight();

    m_Material = SceneMaterial();
    if (m_pDevice != nullptr) {
        m_pDevice->SetMaterial(m_Material);
        m_pDevice->SetLight(0, m_Light);
        m_pDevice->LightEnable(0, true);
    }
    g_Log << LOG_INFO << "Game: Initialisierung abgeschlossen";
}

void CGame::NewGame() {
    m_iGameState = STATE_PLAYING;
    m_iLevelnummer = 1;
    LoadLevel();
    m_Player.Reset();
    m_bLevelSelect = true;
}

bool CGame::LoadLevel() {
    LOG_VARIABLE(m_iLevelnummer);
    const std::string highscoreFile = KeptFilePath("Highscore.dat");
    m_iHighscore = ReadScoreFile(highscoreFile);
    LOG_VARIABLE(m_iLevelnummer);
    const std::string cLevelname = DataFilePath(LevelSection(m_iLevelnummer) + ".txt");
    LOG_VARIABLE(cLevelname);
    LOG_VARIABLE(m_iLevelnummer);
    if (!FileExists(cLevelname)) {
        return false;
    }
    LOG_VARIABLE(m_iLevelnummer);
    m_Board.LoadLevel(m_iLevelnummer);
    m_Paddel.Reset(2, D3DXVECTOR3(m_Board.GetSizeX() / 2, 0, 1),
                   ReadIniFloat("Level1", "PaddelSize"), m_Board.GetSizeX());
    m_Blocks.LoadLevel(m_iLevelnummer);
    m_Balls.ReturnToStock();
    m_iGameState = STATE_TURNING_IN;
    m_fTransition = m_bTransitions ? 1.0f : 0.0f;

    // "Daten.dat" keeps the highest level reached.
    if (m_iLevelnummer > ReadScoreFile(KeptFilePath("Daten.dat"))) {
        WriteScoreFile(KeptFileTarget("Daten.dat"), m_iLevelnummer);
    }
    return true;
}

bool CGame::HelpTextExists() {
    return m_HelpText.Exists(m_iLevelnummer);
}

EProgramState CGame::Update(float d) {
    if (m_pInput == nullptr) {
        return PROGRAM_GAME; // not initialised
    }
    const bool paused = m_bPause;
    const EProgramState next = HandleKeys();
    if (m_bPause || paused) {
        // No timers run, nothing moves; the keys above still work. The frame that ends a
        // pause moves nothing yet either: the click that ended it launches no ball.
        return next;
    }
    if (!m_bLevelSelect && m_iGameState == STATE_PLAYING) {
        m_Player.Control(d);
        m_Paddel.Update(d);
    }
    m_Blocks.Update(d);

    switch (m_iGameState) {
    case STATE_PLAYING:
        if (m_bLevelSelect) {
            UpdateSelection();
        } else {
            UpdatePlay(d);
        }
        break;
    case STATE_TURNING_IN:
        UpdateTurningIn(d);
        break;
    case STATE_TURNING_OUT:
        UpdateTurningOut(d);
        break;
    case STATE_HELP:
        if (GoOnPressed()) {
            m_iGameState = STATE_PLAYING;
        }
        break;
    case STATE_STATISTICS:
        if (GoOnPressed()) {
            m_Player.FinishLevel();
            m_iLevelnummer += 1;
            m_fTransition = 0;
            m_iGameState = STATE_TURNING_OUT;
        }
        break;
    default:
        break; // game over: only N and Escape lead on
    }

    if (m_fShake > 0) {
        m_fShake -= d;
    } else {
        m_fShake = 0;
    }
    return next;
}

EProgramState CGame::HandleKeys() {
    EProgramState next = PROGRAM_GAME;
    CInput& input = *m_pInput;
    if (input.KeyPressed(DIK_N)) {
        NewGame();
    }
    if (input.ControllerLost()) {
        m_bPause = true; // no ball is lost while the cable is found again
    } else if (input.CommandPressed(CInput::ECommand::Pause)) {
        m_bPause = !m_bPause;
    } else if (m_bPause && (input.MouseButtonPressed(0) || input.MouseButtonPressed(1))) {
        m_bPause = false;
    }
    if (input.CommandPressed(CInput::ECommand::Back)) {
        if (m_bLevelSelect) {
            next = PROGRAM_MENU;
        }
        if (m_iGameState == STATE_GAME_OVER || m_iGameState == STATE_HIGHSCORE) {
            next = PROGRAM_MENU;
        } else {
            // A level whose statistics show has been completed: its points, shown as the new
            // score, count. The points of a level still played do not.
            if (m_iGameState == STATE_STATISTICS) {
                m_Player.FinishLevel();
            }
            CheckHighscore();
        }
    }
    for (int camera = 0; camera < 4; ++camera) {
        if (input.KeyPressed(DIK_F1 + camera)) {
            m_iCamera = camera + 1;
        }
    }
    // The shoulder buttons go round the four views.
    if (input.CommandPressed(CInput::ECommand::NextView)) {
        m_iCamera = m_iCamera % 4 + 1;
    }
    if (input.CommandPressed(CInput::ECommand::PreviousView)) {
        m_iCamera = (m_iCamera + 2) % 4 + 1;
    }
    return next;
}

bool CGame::GoOnPressed() {
    // Both asked: each press is counted in the frame it comes.
    const bool click = m_pInput->MouseButtonPressed(1);
    return m_pInput->CommandPressed(CInput::ECommand::Confirm) || click;
}

void CGame::UpdatePlay(float d) {
    m_Balls.Update(d);
    // The blocks are updated a second time in a frame of play, deliberately: hits of this
    // frame leave at once, and the particles age twice as fast while the balls fly.
    m_Blocks.Update(d);
    if (m_Blocks.IsCleared() || m_Board.HasExited()) {
        if (m_pSound != nullptr) {
            m_pSound->Play("next", false);
        }
        m_Player.ComputeLevelPoints();
        m_iGameState = STATE_STATISTICS;
    }
    if (m_Player.GetBalls() <= 0 && m_Balls.Count() == 0) {
        m_Player.FinishLevel();
        CheckHighscore();
    }
}

void CGame::UpdateSelection() {
    CInput& input = *m_pInput;
    bool previous = input.CommandPressed(CInput::ECommand::Left);
    bool next = input.CommandPressed(CInput::ECommand::Right);
    if (input.MouseButtonPressed(0)) {
        const int x = input.GetMouseX();
        const int y = input.GetMouseY();
        previous = previous || m_LeftArrow.IsInside(x, y);
        next = next || m_RightArrow.IsInside(x, y);
    }
    if (previous) {
        m_iLevelnummer -= 1;
        if (m_iLevelnummer == 0) {
            m_iLevelnummer = 1;
        }
        m_fTransition = 0;
        m_iGameState = STATE_TURNING_OUT;
    }
    if (next) {
        // Only levels reached so far; the shown one is loaded again either way.
        if (m_iLevelnummer < ReadScoreFile(KeptFilePath("Daten.dat"))) {
            m_iLevelnummer += 1;
        }
        m_fTransition = 0;
        m_iGameState = STATE_TURNING_OUT;
    }
    if (GoOnPressed()) {
        m_bLevelSelect = false;
        m_iGameState = HelpTextExists() ? STATE_HELP : STATE_PLAYING;
    }
}

void CGame::UpdateTurningIn(float d) {
    if (m_fTransition > 0) {
        m_fTransition -= d;
        return;
    }
    m_fTransition = 0;
    m_iGameState = STATE_PLAYING;
    if (!m_bLevelSelect && HelpTextExists()) {
        m_iGameState = STATE_HELP;
    }
}

void CGame::UpdateTurningOut(float d) {
    if (!m_bTransitions) {
        m_fTransition = -1;
    }
    if (m_fTransition > -1) {
        m_fTransition -= d;
        return;
    }
    m_fTransition = 0;
    m_iGameState = STATE_PLAYING;
    if (!LoadLevel()) {
        // After the last level the game goes on at level 1.
        m_iLevelnummer = m_bLevelSelect ? m_iLevelnummer - 1 : 1;
        LoadLevel();
    }
}

void CGame::CheckHighscore() {
    const int score = platform::TruncToInt(m_Player.GetScore());
    const std::string path = KeptFilePath("Highscore.dat");
    if (FileExists(path) && ReadScoreFile(path) >= score) {
        m_iGameState = STATE_GAME_OVER;
        if (m_pSound != nullptr) {
            m_pSound->Play("gameover", false);
        }
        return;
    }
    WriteScoreFile(KeptFileTarget("Highscore.dat"), score); // a failure is logged; the game goes on
    m_iGameState = STATE_HIGHSCORE;
    if (m_pSound != nullptr) {
        m_pSound->Play("highscore", false);
    }
}

void CGame::Release() {
    m_Board.Release();
    m_Balls.Release();
    m_Paddel.Release();
    m_Blocks.Release();
}

#pragma once

#include "platform/SoundDevice.h"
#include "platform/Window.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// One registered sound: its main buffer and the duplicates that share its samples, so that
// the sound can sound several times at once.
struct SSoundInfo {
    std::unique_ptr<platform::ISoundBuffer> pBuffer;
    int iCount = 0;
    std::vector<std::unique_ptr<platform::ISoundBuffer>> Duplicates;
};

// One piece of music and whether it is to be looped.
struct SMusicInfo {
    std::unique_ptr<platform::IMusicGraph> pGraph;
    bool bLoop = false;
};

// Sound effects by name, each with a pool of buffers, and looping music. Sounds are WAV
// files ("name.wav"), music MP3 files ("name.mp3"), each from the data directory or else
// from "Standard". Volumes are in hundredths of a decibel (0 full, -10000 silent); a change
// that would leave that range is not made.
class CSound {
  public:
    CSound() = default;
    ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // Opens the sound output for the window; without one the program goes on silent.
    void Init(platform::IWindow* window);
    // Writes a row to the log for a missing sound device or primary buffer.
    void CheckInit();
    // Registers name with count duplicates, replacing an earlier registration.
    void LoadSound(const char* name, int count);
    // Starts the sound on the first silent buffer of its pool.
    void Play(const char* name, bool loop);
    void ChangeVolume(int delta);
    // Reads a WAV file into a new buffer of the entry; false, with rows in the log, when
    // the file cannot be read or holds no playable sound.
    bool LoadWave(const char* path, SSoundInfo* entry);

    void LoadMusic(const char* name);
    void PlayMusic(const char* name, bool loop);
    // Once per frame: starts looping music again from its beginning when it has ended.
    void Update();
    void ChangeMusicVolume(int delta);

    // The volumes of the effects and of the music. They start as the player left them
    // ("Effektlautstaerke" and "Musiklautstaerke" in [Options], 0 when missing), every sound
    // and music loaded takes them, and SaveVolumes keeps them for the next start.
    int GetVolume() const { return m_iVolume; }
    int GetMusicVolume() const { return m_iMusicVolume; }
    void SaveVolumes() const;

    const SSoundInfo* GetSound(const std::string& name) const;
    const SMusicInfo* GetMusic(const std::string& name) const;

  private:
    std::unique_ptr<platform::IDirectSound> m_pDS;
    bool m_bPrimary = false;
    std::map<std::string, SSoundInfo> m_Sounds;
    std::map<std::string, SMusicInfo> m_Music;
    int m_iVolume = 0;
    int m_iMusicVolume = 0;
};

// A volume as a player reads it: 0 to 100 per cent of the range from silent to full.
int VolumePercent(int volume);

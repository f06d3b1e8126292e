#pragma once

#include "platform/Window.h"

// Sound effects and music.
class CSound {
  public:
    void Init(platform::IWindow* window);
    void LoadSound(const char* name, int count);
    void Play(const char* name, bool loop);
    void ChangeVolume(int delta);
    void LoadMusic(const char* name);
    void PlayMusic(const char* name, bool loop);
    void ChangeMusicVolume(int delta);
    // Once per frame: keeps looping music going.
    void Update();
};

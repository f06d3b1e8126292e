#include "Sound.h"

void CSound::Init(platform::IWindow*) {}

void CSound::LoadSound(const char*, int) {}

void CSound::Play(const char*, bool) {}

void CSound::ChangeVolume(int) {}

void CSound::LoadMusic(const char*) {}

void CSound::PlayMusic(const char*, bool) {}

void CSound::ChangeMusicVolume(int) {}

void CSound::Update() {}

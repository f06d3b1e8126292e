#pragma once

#include "platform/D3D9Types.h"
#include "platform/Places.h"
#include "platform/Profile.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The data directory: the command line followed by one "\" ("Standard\"). Every data path
// of the game starts with it.
extern std::string g_Directory;

// Where this run's data and the player's files are. The program sets them before it plays;
// until then (the tests) every path is relative to the working directory, and portable.
void SetFilePlaces(platform::SFilePlaces places);
const platform::SFilePlaces& FilePlaces();

// Settings lookup in "Zantor.ini". The file is found anew on every call: the player's copy
// of the data directory's (not when portable), the data directory's own, then the same two of
// "Standard\"; the first that exists is read, whole. A missing key is no error that stops
// anything: it reads as 0 (0.0, the marker text, colour 0), and five Fehler rows in the log
// say which key of which file was missing.
inline constexpr const char* NOT_FOUND = "[NOT FOUND]";
using IniBuffer = char[256];

int ReadIniInt(const char* section, const char* key);
float ReadIniFloat(const char* section, const char* key);

// The point light of section "Light": Diffuse, Ambient and Specular colours (keys 1 to 4 are
// red, green, blue, alpha; read alpha first), Range, and the fixed attenuation 0, 0.025, 0.
// The position is the caller's.
D3DLIGHT9 ReadIniLight();
// The value of a key that older settings files may lack: fallback when it is missing, and no
// row in the log.
int ReadIniIntOr(const char* section, const char* key, int fallback);
// Writes the values into the player's settings (the file a lookup consults; installed, the
// player's own copy of it, made first). A failure is logged; false then, and also when
// there is no settings file at all.
bool WriteIniValues(std::span<const platform::SProfileEntry> values);

// Fills buffer with the value and returns true; for a missing key the buffer holds
// NOT_FOUND and the result is false.
bool ReadIniString(const char* section, const char* key, IniBuffer& buffer);
// A colour written as 0x and eight lower-case hex digits, alpha first (ARGB).
std::uint32_t ReadIniColor(const char* section, const char* key);

// Reads hex digits of text from start on (see Settings.cpp for its exact rules); the text
// ends at its size or at its first zero byte.
int ParseHex(std::string_view text, std::size_t start);

// True when the file can be opened for reading.
bool FileExists(const std::string& path);

// The settings file that a lookup consults now (see above); the last place when none exists.
std::string SettingsFilePath();

// The two places a data file of the name may be, in the order they are looked at: the data
// directory, then "Standard\", both in the data root.
std::string DataDirectoryPath(std::string_view name);
std::string StandardPath(std::string_view name);
// A data file of the data directory, or of "Standard\" when the data directory lacks it.
std::string DataFilePath(std::string_view name);
// The name of a data file in the player's language: the translated name when the data
// directory or "Standard" has a file of that name, else the German one.
std::string TranslatedDataFile(std::string_view translated, std::string_view german);

// Kept files (the highscore, the progress) belong to the data directory alone. Read: the
// player's copy when there is one, else the data directory's file. Written: the data
// directory's file when portable, else the player's copy, whose folder is made first.
std::string KeptFilePath(std::string_view name);
std::string KeptFileTarget(std::string_view name);

// The settings section of a level: "Level" followed by its number.
std::string LevelSection(int level);

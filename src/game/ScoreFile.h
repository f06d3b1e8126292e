#pragma once

#include <string>

// "Highscore.dat" and "Daten.dat": one 32-bit signed little-endian integer each, in the data
// directory, with no header. A missing file reads as 0 and a short one leaves its missing
// bytes 0. A write replaces the file safely (platform::ReplaceFile), so a crash or a full
// disk never leaves a broken or empty file; a failed write is logged and the game goes on.
int ReadScoreFile(const std::string& path);
bool WriteScoreFile(const std::string& path, int value);

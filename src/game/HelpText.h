#pragma once

#include "platform/CachedFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The help text of a level as the help screen shows it: "Text<n>.txt" of the data directory,
// else of "Standard", in the player's language where the data set has a translation beside
// the German file (the catalogue names it, "Text<n>.en.txt" in English); cut into rows as a
// 255-byte line buffer reads it (a longer line goes on in the next row; a row keeps its line
// break). Kept until the level or the file changes, so showing it costs no reading while it stays
// as it is.
class CHelpText {
  public:
    static constexpr std::size_t kRowBuffer = 255;
    static constexpr std::size_t kMaxFileSize = std::size_t{16} * 1024 * 1024;

    // The rows of the level's help text now; none when there is no such file.
    const std::vector<std::string>& Rows(int level);
    // Whether the level has a help text now.
    bool Exists(int level);

  private:
    // The file that holds the level's help text now, or null.
    const platform::CCachedFile* Current(int level);

    int m_iLevel = 0;
    std::string m_Directory; // the data directory the files were named for
    // Where the text is looked for, in this order: the data directory's translation and
    // German file, then those of "Standard".
    std::vector<platform::CCachedFile> m_Files;
    const platform::CCachedFile* m_pShown = nullptr;
    std::uint64_t m_ShownVersion = 0;
    std::vector<std::string> m_Rows;
};

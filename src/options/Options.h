#pragma once

#include <array>
#include <string>
#include <string_view>

// The eight settings of the game that zantor-options switches, one check box each.
struct SOption {
    int control;         // the dialog's control number
    const char* caption; // the check box's caption
    const char* section; // where the game reads it in Zantor.ini
    const char* key;
};

inline constexpr int kOptionCount = 8;

// In the order they stand in the dialog, top to bottom.
inline constexpr std::array<SOption, kOptionCount> kOptions = {{
    {1007, "Fenstermodus", "VideoMode", "Windowed"},
    {1006, "fps anzeigen", "Options", "ShowSpeed"},
    {1000, "Spiegelungen", "Options", "Spiegelung"},
    {1001, "Ballreflexionen", "Options", "Ballreflexionen"},
    {1002, "Partikeleffekte", "Options", "Partikeleffekte"},
    {1003, "Levelübergänge", "Options", "Leveluebergaenge"},
    {1004, "Textverzögerungen", "Options", "Textverzoegerung"},
    {1005, "Intro", "Options", "Intro"},
}};

// The option of a control number or of a key (without regard to case); null when unknown.
const SOption* FindOption(int control);
const SOption* FindOptionByKey(std::string_view key);

// The settings file to edit. Without a data directory: "Zantor.ini" beside the program when
// it exists, else the one in "Standard" beside it (which the game started with "Standard"
// reads), and when neither exists the first, which saving creates. With a data directory:
// the file the game started with it reads, "DATA/Zantor.ini" beside the program, else the
// one in "Standard", and when neither exists the first.
std::string OptionsFile(const std::string& programPath, const std::string* dataDirectory);

// The value of key in section of the file, as an integer; 0 when it is missing.
int ReadOption(const std::string& file, const char* section, const char* key);
// Writes value as decimal text; the file and the section are created when missing.
bool WriteOption(const std::string& file, const char* section, const char* key, int value);

// What the dialog does with the file: the check states it opens with, in the order of
// kOptions (a value other than 1 shows unchecked), and what "OK" writes.
class COptionsDialog {
  public:
    explicit COptionsDialog(std::string file) : m_File(std::move(file)) {}

    // Reads the eight values, in the order 1006, 1007, 1000 … 1005.
    void Load();
    bool IsChecked(int index) const { return m_Values[static_cast<std::size_t>(index)] == 1; }
    int GetValue(int index) const { return m_Values[static_cast<std::size_t>(index)]; }
    void SetChecked(int index, bool checked) {
        m_Values[static_cast<std::size_t>(index)] = checked ? 1 : 0;
    }
    // "OK": writes all eight as 0 or 1, in the order 1007, 1006, 1000 … 1005. False when the
    // file could not be written.
    bool Save();
    const std::string& GetFile() const { return m_File; }

  private:
    std::string m_File;
    std::array<int, kOptionCount> m_Values{};
};

#pragma once

#include "platform/Places.h"
#include "platform/Translation.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

// The nine settings of the game that zantor-options switches, one check box each.
struct SOption {
    int control;         // the dialog's control number
    const char* caption; // the check box's caption, in German (Tr translates it)
    const char* section; // where the game reads it in Zantor.ini
    const char* key;
    int missing; // what the game takes when the file lacks the key
};

inline constexpr int kOptionCount = 9;

// In the order they stand in the dialog, top to bottom.
inline constexpr std::array<SOption, kOptionCount> kOptions = {{
    {1007, N_("Fenstermodus"), "VideoMode", "Windowed", 0},
    {1006, N_("fps anzeigen"), "Options", "ShowSpeed", 0},
    {1000, N_("Spiegelungen"), "Options", "Spiegelung", 0},
    {1001, N_("Ballreflexionen"), "Options", "Ballreflexionen", 0},
    {1002, N_("Partikeleffekte"), "Options", "Partikeleffekte", 0},
    {1003, N_("Levelübergänge"), "Options", "Leveluebergaenge", 0},
    {1004, N_("Textverzögerungen"), "Options", "Textverzoegerung", 0},
    {1005, N_("Intro"), "Options", "Intro", 0},
    // Newer than many settings files: the game waits for the display when it is missing.
    {1008, N_("Vertikale Synchronisation"), "VideoMode", "VSync", 1},
}};

// The option of a control number or of a key (without regard to case); null when unknown.
const SOption* FindOption(int control);
const SOption* FindOptionByKey(std::string_view key);
// The option of a name as "--set" takes it: "Key" or "Section.Key" as "--list" prints it,
// without regard to case. A section other than the option's own names no option.
const SOption* FindOptionByName(std::string_view name);

// One value for one option, as "--set" reads it from NAME=VALUE and as "OK" writes it.
struct SAssignment {
    const SOption* option = nullptr; // null: no such setting
    int value = -1;                  // 0 or 1; -1 when the text gives neither
};

// "NAME=0" or "NAME=1", NAME as FindOptionByName takes it. Without "=" or with an unknown
// name the option is null; with any other value than "0" or "1" the value is -1.
SAssignment ParseAssignment(std::string_view text);

// The settings file to edit: the one the game started with the same data directory reads
// (read), and where a change goes (write). Without a data directory: "Zantor.ini" in the data
// root when it exists, else the one in "Standard"; with one: "DATA/Zantor.ini", else the one
// in "Standard"; the player's copy of each (not when portable) before the data set's own, and
// when none exists the first data set file, which saving creates. A change goes into the file
// itself when the data set is portable, else into the player's own copy of it.
struct SOptionsFile {
    std::string read;
    std::string write;
};
SOptionsFile OptionsFile(const platform::SFilePlaces& places, const std::string* dataDirectory);

// The value of key in section of the file, as an integer; when it is missing, what the game
// takes then for an option (SOption::missing), else 0.
int ReadOption(const std::string& file, const char* section, const char* key);
// Writes value as decimal text; the file and the section are created when missing.
bool WriteOption(const std::string& file, const char* section, const char* key, int value);
// Writes the values in their order, as WriteOption one after the other would, but with one
// safe replace of the file: all of them are written or none, and the file stays byte for
// byte as it was when false is returned, with the reason when one is asked for.
bool WriteOptions(const std::string& file, std::span<const SAssignment> values,
                  std::string* reason = nullptr);
// The same into files.write, which starts as a copy of files.read when it does not exist yet.
bool WriteOptions(const SOptionsFile& files, std::span<const SAssignment> values,
                  std::string* reason = nullptr);

// What the dialog does with the file: the check states it opens with, in the order of
// kOptions (a value other than 1 shows unchecked), and what "OK" writes.
class COptionsDialog {
  public:
    explicit COptionsDialog(SOptionsFile files) : m_Files(std::move(files)) {}
    explicit COptionsDialog(const std::string& file) : m_Files{file, file} {}

    // Reads the nine values, in the order 1006, 1007, 1000 … 1005, 1008.
    void Load();
    bool IsChecked(int index) const { return m_Values[static_cast<std::size_t>(index)] == 1; }
    int GetValue(int index) const { return m_Values[static_cast<std::size_t>(index)]; }
    void SetChecked(int index, bool checked) {
        m_Values[static_cast<std::size_t>(index)] = checked ? 1 : 0;
    }
    // "OK": writes all nine as 0 or 1, in the order 1007, 1006, 1000 … 1005, 1008, in one replace
    // of the file. False, with the reason when one is asked for, when the file could not be
    // read or written; it is then left as it was.
    bool Save(std::string* reason = nullptr);
    const std::string& GetFile() const { return m_Files.write; }

  private:
    SOptionsFile m_Files;
    std::array<int, kOptionCount> m_Values{};
};

#pragma once

#include <QString>
#include <vector>

namespace tarrow {

// How a setting is written to and read from its file, and which controls stand for it.
enum class SettingKind {
    Comment,  // a fixed comment line (the first two lines of server.cfg)
    Text,     // edit; value written as typed
    Password, // edit enabled by a box
    Number,   // up-down bound to an edit
    Penalty,  // number whose edit is enabled by a box; written whether ticked or not
    Flag,     // check box; "1" or "0"
    MinRate,  // sv_minrate from the connection-speed presets
    MaxRate,  // sv_maxrate
    Teamplay, // mp_teamplay from the friendly-fire choice
    Exec,     // exec line, only when the text is not empty
    Custom,   // "//custom cvar" and a quoted line, only when the text is not empty
};

enum class SettingPage { Basic, Advanced, Adminmod, Neotf, NeotfCont };

// What follows the caption of a comment row in the file.
enum class CommentEnd { None, SiteAddress, PanelVersion };

// One row of a settings table, written with named fields; a field left out takes the default here.
struct Setting {
    const char* line = nullptr;    // the line name, which is also the key the reader matches
    const char* control = nullptr; // edit, up-down or check box (flags) of the setting
    const char* box = nullptr;     // the enabling box of a password, penalty, exec or custom setting
    const char* edit = nullptr;    // the edit of an up-down, where it has a name of its own
    const char* caption = nullptr;
    SettingKind kind = SettingKind::Text;
    int maxLength = 0;                         // characters the edit holds; 0: no limit
    int min = 0, max = 0, step = 1, start = 0; // range, step and starting value of a number
    SettingPage page = SettingPage::Basic;
    const char* group = nullptr; // the group box on the page; nullptr: no control on a page
    const char* hint = nullptr;
    CommentEnd commentEnd = CommentEnd::None;
    // Another key that begins with this one: a line of that key is not this setting's.
    const char* longerKey = nullptr;
    // The value is read as the first word after the key, not as a quoted text.
    bool oneWord = false;
    // The text an edit starts with, where it is not empty.
    const char* startText = nullptr;
    // Names an up-down's edit shows for the values 0, 1, 2, ... (nullptr-terminated); the value saved
    // stays the number.
    const char* const* valueNames = nullptr;

    QString controlName() const { return QString::fromLatin1(control); }
    QString boxName() const { return box ? QString::fromLatin1(box) : QString(); }
    // The edit of an up-down: its own name, or the up-down's name with "txt" for "UD".
    QString editName() const;
};

// server.cfg / listenserver.cfg, in file order.
const std::vector<Setting>& serverSettings();
// The Admin Mod file, in file order (the last row, default_access, is our addition).
const std::vector<Setting>& adminmodSettings();
// The NeoTF file, in file order.
const std::vector<Setting>& neotfSettings();

// Every row of the three tables: the server file's, then Admin Mod's, then NeoTF's, each in file order.
const std::vector<const Setting*>& allSettings();

// The row of a control in any of the three tables; nullptr when none.
const Setting* findSetting(const QString& control);

// File values of the connection-speed presets and of the friendly-fire choice.
struct RatePreset {
    const char* caption;
    const char* fileMin;
    const char* fileMax;
    const char* shownMin;
    const char* shownMax;
    const char* label;
};
const RatePreset (&ratePresets())[4];
inline constexpr int kCustomRateItem = 3;

struct FriendlyFireItem {
    const char* caption;
    int value;
};
const FriendlyFireItem (&friendlyFireItems())[4];

} // namespace tarrow

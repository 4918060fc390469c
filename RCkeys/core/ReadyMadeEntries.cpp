#include "ReadyMadeEntries.h"

namespace {

// Keys 1-6: the VEKO (top, middle, bottom row; left, right); 7-12 F1-F6, 13
// ESC, 14 Enter, 15-18 arrows, 19 vehicle, 20 STOP, 21 '?', 22 right of it,
// 23 green round key of the ZELMAR_OVI.
std::vector<ReadyMadeEntry> MakeEntries() {
    return {
        // The presenter's tools in whatever program shows the slides: the
        // VEKO's bottom keys held for spotlight and blank screen, the
        // ZELMAR_OVI's free keys; its F-keys (F5 starts a show) stay.
        {"Presenting (any slide show)",
         "*",
         nullptr,
         {{"Key1", "PageUp"},
          {"Key2", "PageDown"},
          {"Key3", "Magnifier"},
          {"Key4", "Timer \"20:00\""},
          {"Key5", "LaserDot"},
          {"Key5 long", "Spotlight"},
          {"Key6", "Esc"},
          {"Key6 long", "BlankScreen"},
          {"Key17", "PageUp"},
          {"Key18", "PageDown"},
          {"Key19", "Magnifier"},
          {"Key20", "BlankScreen"},
          {"Key21", "Spotlight"},
          {"Key22", "LaserDot"},
          {"Key23", "Timer \"20:00\""}}},
        // KV480's on-screen menu in every window, on a key each remote has
        // to spare: the installation's key map steers it with the Menu
        // mode's keys. The ZELMAR_OVI's '?' opens it there already; Enter
        // held is nearer to the thumb.
        {"On-screen menu on a long press of key 6 (VEKO)", "*", nullptr, {{"Key6 long", "Menu"}}},
        {"On-screen menu on a long press of Enter (ZELMAR_OVI)",
         "*",
         nullptr,
         {{"Key14 long", "Menu"}}},
        // The slide show's own window class; the editing window keeps the
        // defaults.
        {"PowerPoint slide show",
         "POWERPNT.EXE",
         "screenClass",
         {{"Key1", "PageUp"},
          {"Key2", "PageDown"},
          {"Key3", "B"},
          {"Key4", "W"},
          {"Key5", "Home"},
          {"Key6", "Esc"},
          {"Key17", "Left"},
          {"Key18", "Right"},
          {"Key21", "B"},
          {"Key22", "W"}}},
        // Only keys that are harmless in Writer and Calc, which run in the
        // same program.
        {"LibreOffice Impress",
         "soffice.bin",
         nullptr,
         {{"Key1", "PageUp"},
          {"Key2", "PageDown"},
          {"Key5", "F5"},
          {"Key6", "Esc"},
          {"Key15", "Home"},
          {"Key16", "End"}}},
        {"Adobe Acrobat Reader",
         "Acro*.exe",
         nullptr,
         {{"Key1", "Left"},
          {"Key2", "Right"},
          {"Key3", "Ctrl+0"},
          {"Key4", "Ctrl+2"},
          {"Key5", "Ctrl+L"},
          {"Key6", "Esc"},
          {"Key17", "Left"},
          {"Key18", "Right"}}},
        {"SumatraPDF",
         "SumatraPDF*.exe",
         nullptr,
         {{"Key1", "PageUp"},
          {"Key2", "PageDown"},
          {"Key3", "Ctrl+0"},
          {"Key4", "Ctrl+2"},
          {"Key5", "F5"},
          {"Key6", "Esc"},
          {"Key15", "Home"},
          {"Key16", "End"}}},
        {"VLC media player",
         "vlc.exe",
         nullptr,
         {{"Key1", "P"},
          {"Key2", "N"},
          {"Key3", "Ctrl+Down repeat"},
          {"Key4", "Ctrl+Up repeat"},
          {"Key5", "Space"},
          {"Key6", "F"},
          {"Key13", "Esc"},
          {"Key15", "Ctrl+Up repeat"},
          {"Key16", "Ctrl+Down repeat"},
          {"Key17", "Alt+Left repeat"},
          {"Key18", "Alt+Right repeat"},
          {"Key20", "S"},
          {"Key21", "V"},
          {"Key22", "B"},
          {"Key23", "Space"}}},
        {"MPC-HC",
         "mpc-hc*.exe",
         nullptr,
         {{"Key1", "PageUp"},
          {"Key2", "PageDown"},
          {"Key3", "Down repeat"},
          {"Key4", "Up repeat"},
          {"Key5", "Space"},
          {"Key6", "Alt+Enter"},
          {"Key15", "Up repeat"},
          {"Key16", "Down repeat"},
          {"Key17", "Left repeat"},
          {"Key18", "Right repeat"},
          {"Key21", "Ctrl+M"},
          {"Key23", "Space"}}},
        {"Windows Media Player",
         "wmplayer.exe",
         nullptr,
         {{"Key1", "Ctrl+B"},
          {"Key2", "Ctrl+F"},
          {"Key3", "F9 repeat"},
          {"Key4", "F10 repeat"},
          {"Key5", "Ctrl+P"},
          {"Key6", "Alt+Enter"},
          {"Key20", "Ctrl+S"},
          {"Key21", "F8"},
          {"Key23", "Ctrl+P"}}},
        // The player of current Windows takes the media keys.
        {"Media Player",
         "Microsoft.Media.Player.exe",
         nullptr,
         {{"Key1", "PrevTrack"},
          {"Key2", "NextTrack"},
          {"Key5", "PlayPause"},
          {"Key20", "Stop"},
          {"Key23", "PlayPause"}}},
        {"Spotify",
         "Spotify.exe",
         nullptr,
         {{"Key1", "Ctrl+Left"},
          {"Key2", "Ctrl+Right"},
          {"Key3", "Ctrl+Down repeat"},
          {"Key4", "Ctrl+Up repeat"},
          {"Key5", "Space"},
          {"Key17", "Ctrl+Left"},
          {"Key18", "Ctrl+Right"},
          {"Key21", "Ctrl+S"},
          {"Key22", "Ctrl+R"},
          {"Key23", "Space"}}},
        // Pages back and forward; the video site's own keys (J, K, L, F) on
        // the ZELMAR_OVI's free keys.
        {"Google Chrome", "chrome.exe", nullptr, {}},
        {"Mozilla Firefox", "firefox.exe", nullptr, {}},
        {"Microsoft Edge", "msedge.exe", nullptr, {}},
    };
}

const std::vector<ReadyMadeEntry::Action> BROWSER_ACTIONS = {
    {"Key1", "Alt+Left"}, {"Key2", "Alt+Right"}, {"Key7", "Ctrl+Shift+Tab"},
    {"Key8", "Ctrl+Tab"}, {"Key10", "F"},        {"Key11", "F5"},
    {"Key12", "F11"},     {"Key19", "Alt+Home"}, {"Key21", "J"},
    {"Key22", "L"},       {"Key23", "K"},
};

} // namespace

const std::vector<ReadyMadeEntry>& ReadyMadeEntries() {
    static const std::vector<ReadyMadeEntry> entries = [] {
        std::vector<ReadyMadeEntry> made = MakeEntries();
        for (ReadyMadeEntry& entry : made) {
            if (entry.actions.empty()) {
                entry.actions = BROWSER_ACTIONS;
            }
        }
        return made;
    }();
    return entries;
}

std::string SuggestWindowPattern(const std::string& strCaption) {
    // " - ", and the en and em dashes in UTF-8, part document from program.
    static const char* const SEPARATORS[] = {" - ", " \xE2\x80\x93 ", " \xE2\x80\x94 "};
    std::size_t nBest = std::string::npos;
    for (const char* pszSeparator : SEPARATORS) {
        const std::size_t nAt = strCaption.rfind(pszSeparator);
        if (nAt != std::string::npos && nAt > 0 && (nBest == std::string::npos || nAt > nBest)) {
            nBest = nAt;
        }
    }
    if (nBest == std::string::npos) {
        return strCaption;
    }
    return "*" + strCaption.substr(nBest);
}

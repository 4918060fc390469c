#pragma once

#include "CKeyChord.h"

#include <string>
#include <vector>

// What one form of a remote key does, as a KeyMap.ini value writes it: a
// keystroke or a sequence of them, a text, a program, the mouse, a switch of
// mode, one of the PC's own actions, one of the presenter's tools switched on
// or off, or nothing.
// Uses no operating-system service; a sender carries it out.
class CKeyAction {
public:
    enum class Kind {
        Keys,        // keystrokes in order, one for a plain keystroke
        Text,        // characters typed as they are
        Run,         // a program brought forward or started
        MouseMove,   // the pointer moves while the key is held
        MouseButton, // a click or a turn of the wheel
        Nothing,     // "None": the key does nothing here
        Mode,        // a mode switched on, or off again
        Pc,          // the PC locked, put to sleep, shut down...
        // The presenter's tools, each switched on by a press and off by the next.
        Spotlight,   // the monitor darkened but for a circle around the pointer
        LaserDot,    // a red dot at the pointer
        Magnifier,   // a lens showing the screen under the pointer enlarged
        BlankScreen, // the monitor in front covered, black or white
        Timer,       // a talk timer counting down
        // KV480's on-screen menu and keyboard.
        Menu,      // a menu opened, "Main" unless named
        Keyboard,  // the on-screen keyboard opened
        MenuSteer, // the open menu or keyboard steered
    };
    enum class Steer { Up, Down, Left, Right, Select, Back };
    enum class Pc { Lock, Sleep, Hibernate, MonitorOff, ShutDown, Restart };
    enum class Mouse {
        Up,
        Down,
        Left,
        Right,
        LeftClick,
        RightClick,
        MiddleClick,
        DoubleClick,
        WheelUp,
        WheelDown
    };

    // Reads a value such as "Ctrl+A, Ctrl+C", "PageDown repeat",
    // "Text \"Hello\"", "Run \"%ProgramFiles%\\App\\app.exe\" /x", "MouseUp"
    // "Mode \"Mouse\"", "Mode Off", "ShutDown", "Spotlight", "BlankScreen White",
    // "BlankScreen Monitor 2", "Timer \"20:00\" Monitor 1", "Menu \"Programs\"", "Menu Down",
    // "Keyboard" or "None". On failure the action is unchanged and strReason says why.
    bool Parse(const std::string& strValue, std::string& strReason);

    Kind GetKind() const { return m_kind; }
    // Whether a held key does it again on every repeat: marked "repeat", or
    // a pointer move, which always does.
    bool Repeats() const { return m_bRepeat || m_kind == Kind::MouseMove; }
    const std::vector<CKeyChord>& GetChords() const { return m_chords; }
    // Text: the characters (UTF-8). Run: the program as written.
    const std::string& GetText() const { return m_strText; }
    const std::string& GetArguments() const { return m_strArguments; }
    Mouse GetMouse() const { return m_mouse; }
    // One of the presenter's tools, which a press switches on or off.
    bool IsPresenterTool() const { return m_kind >= Kind::Spotlight && m_kind <= Kind::Timer; }
    // BlankScreen: white rather than black.
    bool IsWhite() const { return m_bWhite; }
    // Timer: the time it counts down from.
    unsigned GetSeconds() const { return m_nSeconds; }
    // BlankScreen and Timer: the monitor named with "Monitor 2", 1 for the
    // first; 0 when none is named.
    unsigned GetMonitor() const { return m_nMonitor; }
    // Mode: the mode's name as written; empty for "Mode Off".
    const std::string& GetMode() const { return m_strText; }
    Pc GetPc() const { return m_pc; }
    // Menu: the menu's name as written ("Main" for a plain "Menu").
    const std::string& GetMenu() const { return m_strText; }
    // MenuSteer: which way.
    Steer GetSteer() const { return m_steer; }
    // ShutDown and Restart: only a second press within a few seconds acts.
    bool NeedsConfirmation() const;
    // The word KeyMap.ini writes for a PC action ("MonitorOff").
    static const char* PcName(Pc pc);
    // Every PC action's word, in the order of Pc, for a list to choose from.
    static std::vector<std::string> PcNames();
    // Whether a mode's name may be written, in an action or a section's
    // Mode line; strReason says why not.
    static bool IsModeName(const std::string& strName, std::string& strReason);
    // The same for a menu's name, in an action or a section's Menu line.
    static bool IsMenuName(const std::string& strName, std::string& strReason);
    // What the on-screen note shows: the value as written without "repeat";
    // for Run the program's file name.
    std::string Shown() const;

    // The part of the value an editor's field shows, the kind's keyword and
    // "repeat" aside: the keystrokes as written, the text, the program in
    // quotes with its arguments, the word of a mouse action, tool or PC
    // action (BlankScreen with White), the time as m:ss, the mode's name or
    // Off, the menu's name (empty for a plain "Menu"), the steering's word;
    // empty for None and Keyboard.
    std::string Value() const;
    // Whether the value is marked "repeat" as written (a pointer move repeats
    // unmarked too).
    bool IsMarkedRepeat() const { return m_bRepeat; }
    // The KeyMap.ini value of an action of the kind with that value part
    // (blanks around it aside; a program without quotes gets them) and mark,
    // for Parse to read; empty while a kind that needs a value has none.
    // A menu without a name is the main one; only steering's moves repeat.
    static std::string Write(Kind kind, const std::string& strValue, bool bRepeat);
    // Whether the value starts with a kind's keyword (Text, Run, Timer,
    // Mode) and a blank or a quote; kind and strRest (trimmed) then tell
    // which and what follows, whether it reads or not.
    static bool SplitKeyword(const std::string& strValue, Kind& kind, std::string& strRest);
    // Whether an action of the kind may be marked "repeat" (of steering,
    // only the moves).
    static bool TakesRepeat(Kind kind);
    // The values of the kind that are fixed words, in the file's spelling:
    // the mouse actions, each tool with its option, the PC actions, Off for
    // Mode and the steering's ways; none for the other kinds.
    static std::vector<std::string> WordsOf(Kind kind);

private:
    bool ParseText(const std::string& strValue, std::string& strReason);
    bool ParseRun(const std::string& strValue, std::string& strReason);
    bool ParseKeys(const std::string& strValue, std::string& strReason);
    bool ParseTimer(const std::string& strValue, std::string& strReason);
    bool ParseTool(const std::string& strValue, std::string& strReason);
    bool ParseMode(const std::string& strValue, std::string& strReason);
    bool ParseMenu(const std::string& strValue, std::string& strReason);

    Kind m_kind = Kind::Nothing;
    bool m_bRepeat = false;
    std::vector<CKeyChord> m_chords;
    std::string m_strText;
    std::string m_strArguments;
    Mouse m_mouse = Mouse::Up;
    bool m_bWhite = false;
    unsigned m_nSeconds = 0;
    unsigned m_nMonitor = 0;
    Pc m_pc = Pc::Lock;
    Steer m_steer = Steer::Up;
    std::string m_strWritten;
};

// The keys of both remote-control types as a receiving application sees them:
// the number carried in wParam of the registered message and a display name.
// Shared by the receiver simulator and the demo receiving application.
#pragma once

#include <cstdint>
#include <string>

enum class RemoteType { Veko = 0, ZelmarOvi = 1 };

class RemoteKeys {
public:
    // The name to pass to RegisterWindowMessageA; the resident program
    // registers the same name, so both ends get the same message number.
    static constexpr const char* MESSAGE_NAME = "WM_REMOTECONTROL";

    // wParam: 1 to 6 are the VEKO keys, 7 to 23 the ZELMAR_OVI keys.
    static constexpr int FIRST_KEY = 1;
    static constexpr int LAST_KEY = 23;
    static constexpr int LAST_VEKO_KEY = 6;
    static constexpr int FIRST_ZELMAR_KEY = 7;

    // lParam: a new press, or a repeat while the key is held down.
    static constexpr int NEW_PRESS = 0;
    static constexpr int REPEAT = 1;

    static bool IsKey(int key) { return key >= FIRST_KEY && key <= LAST_KEY; }
    static bool BelongsTo(RemoteType type, int key);

    // Display name ("Top left", "F1", "Arrow up"); null outside 1..23.
    static const char* Name(int key);

    // Key number for a name, ignoring case and treating ' ', '-' and '_' alike
    // ("arrow-up" finds "Arrow up"); 0 when no key has that name.
    static int FromName(const std::string& name);

    // "VEKO" or "ZELMAR_OVI".
    static const char* TypeName(RemoteType type);

    // Whether a received message's parameters are a key event. Other processes
    // can post anything, so both are checked before either is used.
    static bool IsKeyMessage(std::uintptr_t wParam, std::intptr_t lParam);
};

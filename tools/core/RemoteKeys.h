// The keys of both remote-control types as a receiving application sees them:
// the number carried in wParam of the registered message and a display name.
// Shared by the receiver simulator and the demo receiving application.
#pragma once

#include "RemoteControl.h"

#include <cstdint>
#include <string>

enum class RemoteType { Veko = 0, ZelmarOvi = 1 };

class RemoteKeys {
public:
    // The message and its parameters come from the public header, which is
    // what authors of receiving applications build against.
    static constexpr const char* MESSAGE_NAME = RC_MESSAGE_NAME;

    // wParam: 1 to 6 are the VEKO keys, 7 to 23 the ZELMAR_OVI keys.
    static constexpr int FIRST_KEY = RC_KEY_FIRST;
    static constexpr int LAST_KEY = RC_KEY_LAST;
    static constexpr int LAST_VEKO_KEY = RC_KEY_VEKO_LAST;
    static constexpr int FIRST_ZELMAR_KEY = RC_KEY_ZELMAR_FIRST;

    // lParam: a new press, or a repeat while the key is held down.
    static constexpr int NEW_PRESS = RC_NEW_PRESS;
    static constexpr int REPEAT = RC_REPEAT;

    static bool IsKey(int key) { return RC_IS_KEY(key); }
    static bool BelongsTo(RemoteType type, int key);

    // Display name ("Top left", "F1", "Arrow up"): the header's RC_KEY_NAME,
    // null outside 1..23.
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

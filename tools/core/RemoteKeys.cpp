#include "RemoteKeys.h"

#include <cctype>
#include <cstddef>

namespace {

// Indexed by key number; index 0 is not a key.
constexpr const char* KEY_NAMES[] = {
    nullptr,
    // VEKO: two columns of three keys.
    "Top left",
    "Top right",
    "Middle left",
    "Middle right",
    "Bottom left",
    "Bottom right",
    // ZELMAR_OVI.
    "F1",
    "F2",
    "F3",
    "F4",
    "F5",
    "F6",
    "ESC",
    "Enter",
    "Arrow up",
    "Arrow down",
    "Arrow left",
    "Arrow right",
    "Vehicle",
    "STOP",
    "Question mark",
    "Right of question mark",
    "Green round",
};
static_assert(sizeof(KEY_NAMES) / sizeof(KEY_NAMES[0]) == RemoteKeys::LAST_KEY + 1,
              "one name per key number");

// Folds the differences FromName ignores.
char Fold(char c) {
    if (c == ' ' || c == '-') {
        return '_';
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool SameName(const std::string& given, const char* name) {
    std::size_t i = 0;
    for (; name[i] != '\0'; ++i) {
        if (i >= given.size() || Fold(given[i]) != Fold(name[i])) {
            return false;
        }
    }
    return i == given.size();
}

} // namespace

bool RemoteKeys::BelongsTo(RemoteType type, int key) {
    return type == RemoteType::Veko ? RC_IS_VEKO_KEY(key) : RC_IS_ZELMAR_KEY(key);
}

const char* RemoteKeys::Name(int key) {
    return IsKey(key) ? KEY_NAMES[key] : nullptr;
}

int RemoteKeys::FromName(const std::string& name) {
    for (int key = FIRST_KEY; key <= LAST_KEY; ++key) {
        if (SameName(name, KEY_NAMES[key])) {
            return key;
        }
    }
    return 0;
}

const char* RemoteKeys::TypeName(RemoteType type) {
    return type == RemoteType::Veko ? "VEKO" : "ZELMAR_OVI";
}

bool RemoteKeys::IsKeyMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    return RC_IS_KEY_MESSAGE(wParam, lParam);
}

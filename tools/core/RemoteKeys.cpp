#include "RemoteKeys.h"

#include <cctype>
#include <cstddef>

namespace {

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
    return RC_KEY_NAME(key);
}

int RemoteKeys::FromName(const std::string& name) {
    for (int key = FIRST_KEY; key <= LAST_KEY; ++key) {
        if (SameName(name, Name(key))) {
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

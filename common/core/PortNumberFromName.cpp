#include "PortNumberFromName.h"

#include <climits>

int PortNumberFromName(const char* text, int count) {
    if (text == nullptr || count <= 0) {
        return 0;
    }

    // Length of the part that may be examined.
    int length = 0;
    while (length < count && text[length] != '\0') {
        ++length;
    }

    for (int i = 0; i + 3 <= length; ++i) {
        if (text[i] != 'C' || text[i + 1] != 'O' || text[i + 2] != 'M') {
            continue;
        }
        int number = 0;
        for (int j = i + 3; j < length && text[j] >= '0' && text[j] <= '9'; ++j) {
            const int digit = text[j] - '0';
            if (number > (INT_MAX - digit) / 10) {
                return 0; // too large for a port number: treat as naming none
            }
            number = number * 10 + digit;
        }
        return number;
    }
    return 0;
}

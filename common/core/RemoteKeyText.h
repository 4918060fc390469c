// The remote's keys in words, for those who cannot see the pictures: what
// the test dialog says of the key it receives, and what the editor's Key list
// says of each key's actions.
#pragma once

#include <string>

namespace remote_key_text {

// What happens to a key, as the test dialog shows it.
enum class KeyEvent { Pressed, Held, Released };

// "Key 3 Middle left, held"; a number no remote has is said as a number.
std::string TestDialogText(int nKey, KeyEvent event);

// "Key 3: Middle left", then which forms are set, if any:
// "Key 3: Middle left — set: press, double press".
std::string KeyListText(int nKey, bool bPress, bool bLongPress, bool bDoublePress);

} // namespace remote_key_text

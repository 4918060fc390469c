// The keys in words: what the test dialog and the editor's Key list say.
#include "RemoteKeyText.h"

#include <gtest/gtest.h>

namespace {

using remote_key_text::KeyEvent;

TEST(RemoteKeyText, TheTestDialogNamesTheKeyAndWhatHappensToIt) {
    EXPECT_EQ("Key 3 Middle left, pressed", remote_key_text::TestDialogText(3, KeyEvent::Pressed));
    EXPECT_EQ("Key 15 Arrow up, held", remote_key_text::TestDialogText(15, KeyEvent::Held));
    EXPECT_EQ("Key 6 Bottom right, released",
              remote_key_text::TestDialogText(6, KeyEvent::Released));
    // A number no remote has (a forged message) is still said safely.
    EXPECT_EQ("Key 99, held", remote_key_text::TestDialogText(99, KeyEvent::Held));
}

TEST(RemoteKeyText, TheKeyListSaysWhichFormsAreSet) {
    EXPECT_EQ("Key 2: Top right", remote_key_text::KeyListText(2, false, false, false));
    EXPECT_EQ("Key 3: Middle left \xE2\x80\x94 set: press, long press",
              remote_key_text::KeyListText(3, true, true, false));
    EXPECT_EQ("Key 7: F1 \xE2\x80\x94 set: double press",
              remote_key_text::KeyListText(7, false, false, true));
}

} // namespace

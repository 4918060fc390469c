#include "RemoteKeyText.h"

#include "RemoteControl.h"

namespace remote_key_text {

namespace {

std::string KeyName(int nKey) {
    const char* pszName = RC_KEY_NAME(nKey);
    return pszName != nullptr ? pszName : std::string();
}

} // namespace

std::string TestDialogText(int nKey, KeyEvent event) {
    const std::string strName = KeyName(nKey);
    std::string strText = "Key " + std::to_string(nKey) + (strName.empty() ? "" : " " + strName);
    switch (event) {
    case KeyEvent::Pressed:
        return strText + ", pressed";
    case KeyEvent::Held:
        return strText + ", held";
    case KeyEvent::Released:
        break;
    }
    return strText + ", released";
}

std::string KeyListText(int nKey, bool bPress, bool bLongPress, bool bDoublePress) {
    std::string strText = "Key " + std::to_string(nKey) + ": " + KeyName(nKey);
    std::string strSet;
    for (const auto& form :
         {std::make_pair(bPress, "press"), std::make_pair(bLongPress, "long press"),
          std::make_pair(bDoublePress, "double press")}) {
        if (form.first) {
            strSet += (strSet.empty() ? "" : ", ") + std::string(form.second);
        }
    }
    // UTF-8 dash: the list is filled through the wide functions.
    return strSet.empty() ? strText : strText + " \xE2\x80\x94 set: " + strSet;
}

} // namespace remote_key_text

#include "Accessibility.h"

#include <oleacc.h>

#include <algorithm>

namespace harness {
namespace {

// MinGW's IID_IAccessible symbol cannot be linked against.
const IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::string Utf8(const wchar_t* text, UINT length) {
    if (length == 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &result[0], size, nullptr,
                        nullptr);
    return result;
}

} // namespace

std::string AccessibleName(HWND window) {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string name;
    IAccessible* accessible = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                             kIidAccessible,
                                             reinterpret_cast<void**>(&accessible))) &&
        accessible != nullptr) {
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        if (accessible->get_accName(self, &text) == S_OK && text != nullptr)
            name = Utf8(text, SysStringLen(text));
        SysFreeString(text);
        accessible->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return name;
}

std::vector<HWND> TabOrder(HWND dialog) {
    std::vector<HWND> order;
    // From the last control, the next tab stop is the first one.
    HWND control = GetNextDlgTabItem(dialog, nullptr, FALSE);
    while (control != nullptr && std::find(order.begin(), order.end(), control) == order.end()) {
        order.push_back(control);
        control = GetNextDlgTabItem(dialog, control, FALSE);
    }
    return order;
}

} // namespace harness

/* Receiving applications may be written in C: the public header is compiled
 * here as strict C90, so anything C++-only or compiler-specific breaks the
 * build. */
#include "RemoteControl.h"

#include "RemoteControlHeaderCheck.h"

#include <stddef.h>

/* Constants that must be usable in preprocessor conditions. */
#if RC_KEY_VEKO_LAST + 1 != RC_KEY_ZELMAR_FIRST || RC_KEY_ZELMAR_LAST != RC_KEY_LAST
#error "the two remote types' key ranges must meet"
#endif
#if RC_HOLD_TIME_MS <= 0 || RC_RELEASE_TIME_MS <= 0
#error "the hold and release times must be positive"
#endif

const char* RcCheckMessageName(void) {
    return RC_MESSAGE_NAME;
}

const char* RcCheckReleaseMessageName(void) {
    return RC_RELEASE_MESSAGE_NAME;
}

/* Built without UNICODE, the _T names are the narrow ones. */
const char* RcCheckMessageNameT(void) {
    return RC_MESSAGE_NAME_T;
}

const char* RcCheckReleaseMessageNameT(void) {
    return RC_RELEASE_MESSAGE_NAME_T;
}

const wchar_t* RcCheckMessageNameW(void) {
    return RC_MESSAGE_NAME_W;
}

const wchar_t* RcCheckReleaseMessageNameW(void) {
    return RC_RELEASE_MESSAGE_NAME_W;
}

const char* RcCheckKeyName(long key) {
    return RC_KEY_NAME(key);
}

const char* RcCheckKeyNameOfWParam(unsigned long wParam) {
    return RC_KEY_NAME(wParam);
}

int RcCheckIsKeyMessage(unsigned long wParam, long lParam) {
    return RC_IS_KEY_MESSAGE(wParam, lParam);
}

int RcCheckIsKey(long key) {
    return RC_IS_KEY(key);
}

int RcCheckIsVekoKey(long key) {
    return RC_IS_VEKO_KEY(key);
}

int RcCheckIsZelmarKey(long key) {
    return RC_IS_ZELMAR_KEY(key);
}

/* A switch over every key constant: two constants with one value do not
 * compile (duplicate case). */
#define RC_CHECK_CASE(constant)                                                                    \
    case constant:                                                                                 \
        return #constant

const char* RcCheckKeyConstant(long key) {
    switch (key) {
        RC_CHECK_CASE(RC_KEY_VEKO_TOP_LEFT);
        RC_CHECK_CASE(RC_KEY_VEKO_TOP_RIGHT);
        RC_CHECK_CASE(RC_KEY_VEKO_MIDDLE_LEFT);
        RC_CHECK_CASE(RC_KEY_VEKO_MIDDLE_RIGHT);
        RC_CHECK_CASE(RC_KEY_VEKO_BOTTOM_LEFT);
        RC_CHECK_CASE(RC_KEY_VEKO_BOTTOM_RIGHT);
        RC_CHECK_CASE(RC_KEY_ZELMAR_F1);
        RC_CHECK_CASE(RC_KEY_ZELMAR_F2);
        RC_CHECK_CASE(RC_KEY_ZELMAR_F3);
        RC_CHECK_CASE(RC_KEY_ZELMAR_F4);
        RC_CHECK_CASE(RC_KEY_ZELMAR_F5);
        RC_CHECK_CASE(RC_KEY_ZELMAR_F6);
        RC_CHECK_CASE(RC_KEY_ZELMAR_ESC);
        RC_CHECK_CASE(RC_KEY_ZELMAR_ENTER);
        RC_CHECK_CASE(RC_KEY_ZELMAR_ARROW_UP);
        RC_CHECK_CASE(RC_KEY_ZELMAR_ARROW_DOWN);
        RC_CHECK_CASE(RC_KEY_ZELMAR_ARROW_LEFT);
        RC_CHECK_CASE(RC_KEY_ZELMAR_ARROW_RIGHT);
        RC_CHECK_CASE(RC_KEY_ZELMAR_VEHICLE);
        RC_CHECK_CASE(RC_KEY_ZELMAR_STOP);
        RC_CHECK_CASE(RC_KEY_ZELMAR_QUESTION_MARK);
        RC_CHECK_CASE(RC_KEY_ZELMAR_RIGHT_OF_QUESTION_MARK);
        RC_CHECK_CASE(RC_KEY_ZELMAR_GREEN_ROUND);
    default:
        return NULL;
    }
}

/* The public header's macros as compiled by a C compiler, callable from the
 * C++ tests. */
#ifndef REMOTECONTROLHEADERCHECK_H
#define REMOTECONTROLHEADERCHECK_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

const char* RcCheckMessageName(void);
const char* RcCheckReleaseMessageName(void);
const char* RcCheckMessageNameT(void);
const char* RcCheckReleaseMessageNameT(void);
const wchar_t* RcCheckMessageNameW(void);
const wchar_t* RcCheckReleaseMessageNameW(void);
/* RC_KEY_NAME of a signed and of an unsigned argument. */
const char* RcCheckKeyName(long key);
const char* RcCheckKeyNameOfWParam(unsigned long wParam);
int RcCheckIsKeyMessage(unsigned long wParam, long lParam);
int RcCheckIsKey(long key);
int RcCheckIsVekoKey(long key);
int RcCheckIsZelmarKey(long key);
/* The name of the RC_KEY_ constant with that value ("RC_KEY_ZELMAR_F1"), or a
 * null pointer when none has it. */
const char* RcCheckKeyConstant(long key);

#ifdef __cplusplus
}
#endif

#endif

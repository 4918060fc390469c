/* The public header's macros as compiled by a C compiler, callable from the
 * C++ tests. */
#ifndef REMOTECONTROLHEADERCHECK_H
#define REMOTECONTROLHEADERCHECK_H

#ifdef __cplusplus
extern "C" {
#endif

const char* RcCheckMessageName(void);
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

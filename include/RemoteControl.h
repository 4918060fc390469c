/*
 * RemoteControl.h - for receiving applications of the KV480 remote control.
 *
 * KV480.exe reads the remote control's receiver and posts every key press,
 * and every repeat of a held key, to the main window of one receiving
 * application as a registered window message. An application takes part by
 *
 *   1. registering the message name below with RegisterWindowMessage, and
 *   2. listing its main window (class and/or caption) in RecvApp.ini in the
 *      KV480 installation folder; see the guide for receiving applications
 *      (Docs\receiving-applications.html there, docs/ in the sources).
 *
 * The key message (RC_MESSAGE_NAME):
 *   wParam  key number, RC_KEY_FIRST to RC_KEY_LAST (the RC_KEY_ names below)
 *   lParam  RC_NEW_PRESS (0) for a new press, RC_REPEAT (1) while the key is
 *           held down
 *
 * The release message (RC_RELEASE_MESSAGE_NAME), sent to the window that got
 * the key's press when the key is let go:
 *   wParam  key number
 *   lParam  0
 * It comes 400 ms after the last frame the receiver sent for the key (its
 * press or a repeat), or at once when another key's press arrives first.
 * Only a window that received the key message gets it, once per press.
 *
 * Any program can post a registered message, so check both parameters
 * (RC_IS_KEY_MESSAGE, RC_IS_KEY) before acting on them.
 *
 * Example:
 *
 *   static UINT g_remoteControlMsg;
 *
 *   // once, before the window exists
 *   g_remoteControlMsg = RegisterWindowMessageA(RC_MESSAGE_NAME);
 *
 *   // in the window procedure; the number is not a constant, so it is
 *   // compared before any switch over the system's messages
 *   if (message != 0 && message == g_remoteControlMsg) {
 *       if (RC_IS_KEY_MESSAGE(wParam, lParam)) {
 *           if (wParam == RC_KEY_ZELMAR_ENTER && lParam == RC_NEW_PRESS)
 *               OpenSelection();
 *           // a held arrow key keeps moving
 *           else if (wParam == RC_KEY_ZELMAR_ARROW_DOWN)
 *               MoveSelection(1);
 *       }
 *       return 0;
 *   }
 *
 * Plain C; the same for C and C++, 32 and 64 bits, ANSI and UNICODE builds.
 * Needs no other header.
 */
#ifndef KV480_REMOTECONTROL_H
#define KV480_REMOTECONTROL_H

/*
 * Names of the registered window messages: for RegisterWindowMessageA, for
 * RegisterWindowMessageW, and the _T forms for RegisterWindowMessage, which
 * follow UNICODE as the TEXT macro does.
 */
#define RC_MESSAGE_NAME "WM_REMOTECONTROL"
#define RC_MESSAGE_NAME_W L"WM_REMOTECONTROL"
#define RC_RELEASE_MESSAGE_NAME "WM_REMOTECONTROL_RELEASE"
#define RC_RELEASE_MESSAGE_NAME_W L"WM_REMOTECONTROL_RELEASE"
#ifdef UNICODE
#define RC_MESSAGE_NAME_T RC_MESSAGE_NAME_W
#define RC_RELEASE_MESSAGE_NAME_T RC_RELEASE_MESSAGE_NAME_W
#else
#define RC_MESSAGE_NAME_T RC_MESSAGE_NAME
#define RC_RELEASE_MESSAGE_NAME_T RC_RELEASE_MESSAGE_NAME
#endif

/* lParam */
#define RC_NEW_PRESS 0
#define RC_REPEAT 1

/* Times, in milliseconds. */
#define RC_HOLD_TIME_MS 500    /* no repeat comes sooner than this after a new press */
#define RC_RELEASE_TIME_MS 400 /* the release comes this long after the key's last frame */

/* wParam: key numbers of both remote-control types. */
#define RC_KEY_FIRST 1
#define RC_KEY_LAST 23

/* "VEKO": three rows of two keys. */
#define RC_KEY_VEKO_FIRST 1
#define RC_KEY_VEKO_TOP_LEFT 1
#define RC_KEY_VEKO_TOP_RIGHT 2
#define RC_KEY_VEKO_MIDDLE_LEFT 3
#define RC_KEY_VEKO_MIDDLE_RIGHT 4
#define RC_KEY_VEKO_BOTTOM_LEFT 5
#define RC_KEY_VEKO_BOTTOM_RIGHT 6
#define RC_KEY_VEKO_LAST 6

/* "ZELMAR_OVI": the key pad. */
#define RC_KEY_ZELMAR_FIRST 7
#define RC_KEY_ZELMAR_F1 7
#define RC_KEY_ZELMAR_F2 8
#define RC_KEY_ZELMAR_F3 9
#define RC_KEY_ZELMAR_F4 10
#define RC_KEY_ZELMAR_F5 11
#define RC_KEY_ZELMAR_F6 12
#define RC_KEY_ZELMAR_ESC 13
#define RC_KEY_ZELMAR_ENTER 14
#define RC_KEY_ZELMAR_ARROW_UP 15
#define RC_KEY_ZELMAR_ARROW_DOWN 16
#define RC_KEY_ZELMAR_ARROW_LEFT 17
#define RC_KEY_ZELMAR_ARROW_RIGHT 18
#define RC_KEY_ZELMAR_VEHICLE 19 /* the key with the vehicle symbol */
#define RC_KEY_ZELMAR_STOP 20
#define RC_KEY_ZELMAR_QUESTION_MARK 21
#define RC_KEY_ZELMAR_RIGHT_OF_QUESTION_MARK 22
#define RC_KEY_ZELMAR_GREEN_ROUND 23
#define RC_KEY_ZELMAR_LAST 23

/*
 * Range checks. Each evaluates its arguments more than once: pass plain
 * values, not expressions with side effects. Any integer type will do,
 * WPARAM and LPARAM included.
 */
#define RC_IS_KEY(key) ((key) >= RC_KEY_FIRST && (key) <= RC_KEY_LAST)
#define RC_IS_VEKO_KEY(key) ((key) >= RC_KEY_VEKO_FIRST && (key) <= RC_KEY_VEKO_LAST)
#define RC_IS_ZELMAR_KEY(key) ((key) >= RC_KEY_ZELMAR_FIRST && (key) <= RC_KEY_ZELMAR_LAST)
#define RC_IS_KEY_MESSAGE(wParam, lParam)                                                          \
    (RC_IS_KEY(wParam) && ((lParam) == RC_NEW_PRESS || (lParam) == RC_REPEAT))

/*
 * RC_KEY_NAME(key): the key's English name ("Top left", "F1", "Arrow up"), a
 * const char pointer, or a null pointer when key is no key number. The names
 * sit in fixed-width slots of two string literals, so nothing is defined
 * here that a program would have to link or could leave unused.
 */
/* clang-format off */
#define RC_KEY_NAME_SLOT_ 23
#define RC_KEY_NAMES_VEKO_ \
    "Top left\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Top right\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Middle left\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Middle right\0\0\0\0\0\0\0\0\0\0\0" \
    "Bottom left\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Bottom right"
#define RC_KEY_NAMES_ZELMAR_ \
    "F1\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "F2\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "F3\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "F4\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "F5\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "F6\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "ESC\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Enter\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Arrow up\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Arrow down\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Arrow left\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Arrow right\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Vehicle\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "STOP\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" \
    "Question mark\0\0\0\0\0\0\0\0\0\0" \
    "Right of question mark\0" \
    "Green round"
#define RC_KEY_NAME(key) \
    (RC_IS_VEKO_KEY(key) \
         ? &RC_KEY_NAMES_VEKO_[RC_KEY_NAME_SLOT_ * ((key) - RC_KEY_VEKO_FIRST)] \
         : RC_IS_ZELMAR_KEY(key) \
               ? &RC_KEY_NAMES_ZELMAR_[RC_KEY_NAME_SLOT_ * ((key) - RC_KEY_ZELMAR_FIRST)] \
               : (const char*)0)
/* clang-format on */

#endif /* KV480_REMOTECONTROL_H */

/*
 * RemoteControl.h - for receiving applications of the KV480 remote control.
 *
 * KV480.exe reads the remote control's receiver and posts every key press,
 * and every repeat of a held key, to the main window of one receiving
 * application as a registered window message. An application takes part by
 *
 *   1. registering the message name below with RegisterWindowMessageA, and
 *   2. listing its main window (class and/or caption) in RecvApp.ini in the
 *      KV480 installation folder; see the guide for receiving applications
 *      (Docs\receiving-applications.html there, docs/ in the sources).
 *
 * The message:
 *   wParam  key number, RC_KEY_FIRST to RC_KEY_LAST (the RC_KEY_ names below)
 *   lParam  RC_NEW_PRESS (0) for a new press, RC_REPEAT (1) while the key is
 *           held down; there is no message for a release
 *
 * Any program can post a registered message, so check both parameters
 * (RC_IS_KEY_MESSAGE) before acting on them.
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
 * Plain C; the same for C and C++, 32 and 64 bits. Needs no other header.
 */
#ifndef REMOTECONTROL_H
#define REMOTECONTROL_H

/* Name of the registered window message (for RegisterWindowMessageA). */
#define RC_MESSAGE_NAME "WM_REMOTECONTROL"

/* lParam */
#define RC_NEW_PRESS 0
#define RC_REPEAT 1

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

#endif /* REMOTECONTROL_H */

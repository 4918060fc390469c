#pragma once

// Notices a low-level mouse hook that Windows took away: a hook that once
// took longer than LowLevelHooksTimeout is removed without a word, and the
// overlays that follow the pointer would stand still for the rest of the
// talk. The pointer found elsewhere than the hook (or KV480 itself) last put
// it, with no hooked move since the last look, means the hook is gone.
// Moves made by SetCursorPos reach no hook either: hooking again costs little.
class CMouseHookWatch {
public:
    struct Point {
        int x;
        int y;
    };

    // The hook reported a move to point.
    void Hooked(Point point);
    // KV480 itself put the pointer at point.
    void PutBy(Point point);
    // The pointer is at point now (a frame or a periodic look): true when the
    // hook missed the move and must be set again.
    bool Lost(Point point);

private:
    Point m_last{0, 0};
    bool m_bKnown = false;
    bool m_bHookedSinceLook = false;
};

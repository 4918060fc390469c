// A consumer of the decoder's key events: the router, the test dialog, the
// LIRC stream. Each gets every press, repeat and release, in order.
#pragma once

class IKeyEventSink {
public:
    // nRepeat: CFrameDecoder::NEW_PRESS or REPEAT.
    virtual void KeyEvent(int nKey, int nRepeat) = 0;
    // The hold of nKey, whose press came before, has ended.
    virtual void KeyRelease(int nKey) = 0;

protected:
    ~IKeyEventSink() = default;
};

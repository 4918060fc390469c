// Hands each key event of the decoder to the pipeline's consumers, in their
// order: the test dialog first, so that it shows the key at once whatever the
// router's action costs; then the router; LIRC's clients last, as one more
// consumer.
#pragma once

#include "IFrameDecoderListener.h"
#include "IKeyEventSink.h"

class CKeyEventFanOut : public IFrameDecoderListener {
public:
    CKeyEventFanOut(IKeyEventSink& testDialog, IKeyEventSink& router, IKeyEventSink& lirc)
        : m_testDialog(testDialog), m_router(router), m_lirc(lirc) {}
    CKeyEventFanOut(const CKeyEventFanOut&) = delete;
    CKeyEventFanOut& operator=(const CKeyEventFanOut&) = delete;

    void OnKeyEvent(int nKey, int nRepeat) override;
    void OnKeyRelease(int nKey) override;

private:
    IKeyEventSink& m_testDialog;
    IKeyEventSink& m_router;
    IKeyEventSink& m_lirc;
};

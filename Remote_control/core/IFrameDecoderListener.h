// Receiver of the frame decoder's outward calls. Apart from the decoder, so
// that whoever takes its key events need not know the decoder itself.
#pragma once

class IFrameDecoderListener {
public:
    // A key event: nRepeat is CFrameDecoder::NEW_PRESS or REPEAT.
    virtual void OnKeyEvent(int nKey, int nRepeat) = 0;
    // The hold of nKey, whose press was reported, has ended.
    virtual void OnKeyRelease(int nKey) = 0;

protected:
    virtual ~IFrameDecoderListener() = default;
};

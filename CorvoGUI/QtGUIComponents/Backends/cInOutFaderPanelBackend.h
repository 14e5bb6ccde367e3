#pragma once

#include <QObject>

class cFaderControlStripBackend;

// The "Faders" tab: the eight control strips of the in/out fader block, each named
// "InOutFader:<strip> Fader Control Strip" (strips "Input L", "Low L", "Mid L", "High L" and the R
// ones). The input strips' faders run from -40 dB to 0 dB, the outputs' from -40 dB to +12 dB;
// -40 dB is "off". Uncreatable QML type "InOutFaderBackend" of module "Corvo" 1.0, owned by the root
// back end.
//
// LinkDrivers links each strip's mute, polarity and fader to parameters 4096, 4097 and 4098 of its
// control-strip unit and its meter to "Metering Sources NetObject", in the order input L (meter
// 4097), input R (4098), low L (4099), low R (4100), mid L, mid R, high L, high R (4104).
//
// Threads: GUI thread (see cFaderControlStripBackend).
class cInOutFaderPanelBackend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(cFaderControlStripBackend* inputL READ inputL CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* lowL READ lowL CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* midL READ midL CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* highL READ highL CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* inputR READ inputR CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* lowR READ lowR CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* midR READ midR CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* highR READ highR CONSTANT)

public:
    explicit cInOutFaderPanelBackend(QObject* parent = nullptr);
    // Deletes the eight strips.
    ~cInOutFaderPanelBackend() override;

    cFaderControlStripBackend* inputL() const { return mInputL; }
    cFaderControlStripBackend* lowL() const { return mLowL; }
    cFaderControlStripBackend* midL() const { return mMidL; }
    cFaderControlStripBackend* highL() const { return mHighL; }
    cFaderControlStripBackend* inputR() const { return mInputR; }
    cFaderControlStripBackend* lowR() const { return mLowR; }
    cFaderControlStripBackend* midR() const { return mMidR; }
    cFaderControlStripBackend* highR() const { return mHighR; }

    // Queues the links of the eight strips (see the class comment). False when any was refused.
    bool LinkDrivers();
    // UnlinkDrivers of the eight strips, in property order. Safe to repeat.
    void UnlinkDrivers();

private:
    cFaderControlStripBackend* mInputL;
    cFaderControlStripBackend* mLowL;
    cFaderControlStripBackend* mMidL;
    cFaderControlStripBackend* mHighL;
    cFaderControlStripBackend* mInputR;
    cFaderControlStripBackend* mLowR;
    cFaderControlStripBackend* mMidR;
    cFaderControlStripBackend* mHighR;
};

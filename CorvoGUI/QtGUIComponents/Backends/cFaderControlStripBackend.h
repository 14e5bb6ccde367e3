#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QObject>

class cQtBooleanSwitchDriver;
class cQtSignalSlotContinuousControllerDriver;
class cQtSignalSlotMeterDriver;

// One control strip on screen: its mute and polarity buttons, its gain fader and its level meter,
// as four QML drivers that LinkDrivers links to a control-strip unit and to the metering sources.
// QML type "FaderControlStripBackend" of module "Corvo" 1.0.
//
// Drivers, children of the strip, each attached at construction to a net object named from the
// strip's prefix p:
//   mute         "p Mute Switch"       boolean switch, read period 50, on the tick list
//   polarity     "p Polarity Switch"   boolean switch, read period 50, on the tick list
//   faderDriver  "p Fader Widget"      fader minimum..maximum, LevelType (the lowest position is
//                                      "off", carried as 0), read period 50
//   meterDriver  "p Meter Widget"      display -40 dB..+18 dB, attack at once, decay 3 dB per
//                                      update, starting at minus infinity, ballistics on
// A strip made by QML has the empty prefix, the fader range -72 dB..+12 dB (gain codes 14336 to
// 35840) and is not an input strip.
//
// Threads: GUI thread. Links are queued with the system builder (its lock); detaching takes the
// registry lock inside each driver. Once unlinked, destruction touches no net object, so it
// may follow the framework's own shutdown.
class cFaderControlStripBackend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(cQtBooleanSwitchDriver* mute READ mute CONSTANT)
    Q_PROPERTY(cQtBooleanSwitchDriver* polarity READ polarity CONSTANT)
    Q_PROPERTY(cQtSignalSlotContinuousControllerDriver* faderDriver READ faderDriver CONSTANT)
    Q_PROPERTY(cQtSignalSlotMeterDriver* meterDriver READ meterDriver CONSTANT)
    Q_PROPERTY(bool inputFader READ inputFader CONSTANT)

public:
    static constexpr UWORD QML_FADER_MINIMUM = 14336; // -72 dB
    static constexpr UWORD QML_FADER_MAXIMUM = 35840; // +12 dB
    static constexpr GAIN METER_BOTTOM = -10240;      // -40 dB
    static constexpr GAIN METER_TOP = 4608;           // +18 dB
    static constexpr GAIN METER_ATTACK_STEP = 32767;
    static constexpr GAIN METER_DECAY_STEP = -768;
    static constexpr UBYTE READ_PERIOD = 50;

    explicit cFaderControlStripBackend(const char* prefix = "", QObject* parent = nullptr,
                                       UWORD faderMinimum = QML_FADER_MINIMUM,
                                       UWORD faderMaximum = QML_FADER_MAXIMUM, bool inputFader = false);
    // deleteLater on the four drivers (children, so they go with the strip in any case).
    ~cFaderControlStripBackend() override;

    cQtBooleanSwitchDriver* mute() const { return mMute; }
    cQtBooleanSwitchDriver* polarity() const { return mPolarity; }
    cQtSignalSlotContinuousControllerDriver* faderDriver() const { return mFaderDriver; }
    cQtSignalSlotMeterDriver* meterDriver() const { return mMeterDriver; }
    bool inputFader() const { return mInputFader; }

    // Queues, in this order: mute and polarity bidirectional with sync, the fader bidirectional
    // with sync, and the meter one way from (meterUnit, meterId). False when any link was refused
    // (reported by the driver: detached, or no system builder).
    bool LinkDrivers(const char* muteUnit, UWORD muteId, const char* polarityUnit, UWORD polarityId,
                     const char* faderUnit, UWORD faderId, const char* meterUnit, UWORD meterId);
    // The same with one unit for all four.
    bool LinkDrivers(const char* unit, UWORD muteId, UWORD polarityId, UWORD faderId, UWORD meterId);
    // Detaches the four drivers from their net objects (which leave their links). Safe to repeat.
    void UnlinkDrivers();

private:
    cQtBooleanSwitchDriver* mMute;
    cQtBooleanSwitchDriver* mPolarity;
    cQtSignalSlotContinuousControllerDriver* mFaderDriver;
    cQtSignalSlotMeterDriver* mMeterDriver;
    bool mInputFader;
};

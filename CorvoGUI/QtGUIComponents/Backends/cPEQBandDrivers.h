#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QObject>

#include <optional>

class cQtBooleanSwitchDriver;
class cQtIntegerSwitchDriver;
class cQtSignalSlotContinuousControllerDriver;

// The value boxes and buttons of one band of a PEQ block: five QML drivers, children of the item,
// each attached at construction to a net object named from the prefix p, the text "Channel" (run
// together with p, no blank) and the band's name b:
//   bandTypeSwitchDriver  "pChannel PEQ b Shelf Switch"     integer switch (only with a type switch)
//   frequencyDriver       "pChannel PEQ b Freq TFT Edit Box"   frequency code, freqMin..freqMax
//   widthDriver           "pChannel PEQ b Width TFT Edit Box"  width code 0..11264 (index 0-44 in
//                                                             the high byte)
//   gainDriver            "pChannel PEQ b Gain TFT Edit Box"   gain code 28928..36608 (+-15 dB)
//   bypassDriver          "pChannel PEQ b Band Bypass Switch"  boolean switch
// Every driver reads with period 50; the switches are on the tick list. Uncreatable QML type
// "PEQBandDrivers" of module "Corvo" 1.0; its properties are also the roles of the block's band list.
//
// Threads: GUI thread (links queue with the system builder; detaching takes the registry lock).
class cPEQBandDrivers : public QObject
{
    Q_OBJECT
    Q_PROPERTY(cQtIntegerSwitchDriver* bandTypeSwitchDriver READ bandTypeSwitchDriver CONSTANT)
    Q_PROPERTY(cQtSignalSlotContinuousControllerDriver* frequencyDriver READ frequencyDriver CONSTANT)
    Q_PROPERTY(cQtSignalSlotContinuousControllerDriver* widthDriver READ widthDriver CONSTANT)
    Q_PROPERTY(cQtSignalSlotContinuousControllerDriver* gainDriver READ gainDriver CONSTANT)
    Q_PROPERTY(cQtBooleanSwitchDriver* bypassDriver READ bypassDriver CONSTANT)

public:
    static constexpr UWORD WIDTH_MINIMUM = 0;
    static constexpr UWORD WIDTH_MAXIMUM = 11264;
    static constexpr UWORD GAIN_MINIMUM = 28928; // -15 dB
    static constexpr UWORD GAIN_MAXIMUM = 36608; // +15 dB
    static constexpr UBYTE READ_PERIOD = 50;

    cPEQBandDrivers(const char* prefix, const char* bandName, UWORD freqMin, UWORD freqMax,
                    bool withTypeSwitch, QObject* parent);
    ~cPEQBandDrivers() override;

    // Null for a band made without a type switch.
    cQtIntegerSwitchDriver* bandTypeSwitchDriver() const { return mBandTypeSwitchDriver; }
    cQtSignalSlotContinuousControllerDriver* frequencyDriver() const { return mFrequencyDriver; }
    cQtSignalSlotContinuousControllerDriver* widthDriver() const { return mWidthDriver; }
    cQtSignalSlotContinuousControllerDriver* gainDriver() const { return mGainDriver; }
    cQtBooleanSwitchDriver* bypassDriver() const { return mBypassDriver; }

    // Queues, in this order: the frequency's range from freqRangeId (one way), the frequency, the
    // width and the gain (bidirectional, sync), the type switch and the bypass (bidirectional, sync).
    // An absent id links nothing; a type id without a type switch is reported. False when any link
    // was refused.
    bool LinkBandDriver(const char* unitName, std::optional<UWORD> freqRangeId, UWORD freqId,
                        std::optional<UWORD> widthId, std::optional<UWORD> gainId,
                        std::optional<UWORD> typeId, UWORD bypassId);
    // Detaches the drivers from their net objects. Safe to repeat.
    void UnlinkBandDriver();

private:
    cQtIntegerSwitchDriver* mBandTypeSwitchDriver;
    cQtSignalSlotContinuousControllerDriver* mFrequencyDriver;
    cQtSignalSlotContinuousControllerDriver* mWidthDriver;
    cQtSignalSlotContinuousControllerDriver* mGainDriver;
    cQtBooleanSwitchDriver* mBypassDriver;
};

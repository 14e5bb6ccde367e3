#pragma once

#include "CorvoGUI/QtGUIComponents/Backends/cPEQBandDrivers.h"
#include "KVNet/Core/KVNetTypes.h"
#include "QtGUIComponents/Models/QQmlObjectListModel.h"

#include <QMetaType>
#include <QObject>

#include <optional>

class cPEQDriver;
class cQtBooleanSwitchDriver;

// Everything one PEQ block on screen binds to for one parametric EQ unit: the PEQ driver that feeds
// the response graph ("<block> Channel Parametric EQ Graph"), one cPEQBandDrivers per band (band
// names "LF", "HF" for TWO; "LF", "LM", "HM", "HF" for FOUR; "LF", "LM1", "LM2", "HM1", "HM2", "HF"
// for SIX; each band's frequency from 20 Hz to 20 kHz, each with a type switch) and the block's in/out
// switch ("<block> Channel PEQ In Out Switch", read period 50, on the tick list). QML type
// "PEQBlockBackend" of module "Corvo" 1.0, made by the low/mid/high panel back end.
//
// A band count that is not one of the three is reported ("NumberOfBands outside allowable values"):
// the block then has no PEQ driver and no bands, only its in/out switch.
//
// The PEQ driver is a child of the block and lives as long as it: unlinking only takes its net object
// down, so a graph that QML still holds keeps a valid (detached) driver.
//
// Threads: GUI thread. Links queue with the system builder; unlinking takes the registry lock in each
// driver. Once unlinked, destruction touches no net object.
class cPEQBlockBackend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(cPEQDriver* peqDriver READ peqDriver CONSTANT)
    Q_PROPERTY(QQmlObjectListModel<cPEQBandDrivers>* bands READ bands CONSTANT)
    Q_PROPERTY(cQtBooleanSwitchDriver* bypassDriver READ bypassDriver CONSTANT)

public:
    enum eNumOfBands
    {
        TWO = 0,
        FOUR = 1,
        SIX = 2,
    };
    Q_ENUM(eNumOfBands)
    enum eBandPos
    {
        LF = 0,
        LM1 = 1,
        LM2 = 2,
        HM1 = 3,
        HM2 = 4,
        HF = 5,
        LPF = 6,
        HPF = 7,
    };
    Q_ENUM(eBandPos)

    static constexpr UWORD FREQUENCY_MINIMUM = 10699; // 20 Hz
    static constexpr UWORD FREQUENCY_MAXIMUM = 56622; // 20 kHz
    static constexpr UBYTE READ_PERIOD = 50;

    cPEQBlockBackend(eNumOfBands numberOfBands, const char* blockName, QObject* parent = nullptr);
    // deleteLater on the band list and the in/out switch (children, so they go with the block).
    ~cPEQBlockBackend() override;

    // Null when the band count was invalid.
    cPEQDriver* peqDriver() const { return mPEQDriver; }
    QQmlObjectListModel<cPEQBandDrivers>* bands() const { return mBands; }
    cQtBooleanSwitchDriver* bypassDriver() const { return mBypassDriver; }
    int GetNumberOfBands() const { return mBands->count(); }

    // cPEQBandDrivers::LinkBandDriver on band `band`. A band at or beyond the count reports "Band
    // number outside bandlist" and links nothing (false).
    bool LinkBandDriver(UBYTE band, const char* unitName, std::optional<UWORD> freqRangeId, UWORD freqId,
                        std::optional<UWORD> widthId, std::optional<UWORD> gainId,
                        std::optional<UWORD> typeId, UWORD bypassId);
    // The in/out switch, bidirectional with sync to (unitName, id).
    bool LinkBypassDriver(const char* unitName, UWORD id);
    // Takes the PEQ driver's net object down, then every band's drivers and the in/out switch leave
    // theirs. Safe to repeat.
    void UnlinkDrivers();

private:
    cPEQDriver* mPEQDriver = nullptr;
    QQmlObjectListModel<cPEQBandDrivers>* mBands;
    cQtBooleanSwitchDriver* mBypassDriver = nullptr;
};

Q_DECLARE_METATYPE(QQmlObjectListModel<cPEQBandDrivers>*)

#include "tests/qml/Views/cViewTestProbe.h"

#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/App/cProgramSession.h"
#include "CorvoGUI/Core/Units/cHPFDriver.h"
#include "CorvoGUI/Core/Units/cHPFUnit.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQGangDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "KVNet/Core/KVNetSystem.h"

cViewTestProbe::cViewTestProbe(const cProgramSession& session)
    : mSession(session)
{
}

int cViewTestProbe::frequencyCodeAt(QObject* backEnd, int x) const
{
    const auto* graph = qobject_cast<const cPEQQmlBackEnd2*>(backEnd);
    return graph != nullptr ? graph->XToFrequencyCode(x) : -1;
}

double cViewTestProbe::gainAt(QObject* backEnd, double y) const
{
    const auto* graph = qobject_cast<const cPEQQmlBackEnd2*>(backEnd);
    return graph != nullptr ? graph->YToGain(y) : -1;
}

int cViewTestProbe::pixelWidth(QObject* backEnd) const
{
    const auto* graph = qobject_cast<const cPEQQmlBackEnd2*>(backEnd);
    return graph != nullptr ? graph->GetPixelWidth() : -1;
}

int cViewTestProbe::pixelHeight(QObject* backEnd) const
{
    const auto* graph = qobject_cast<const cPEQQmlBackEnd2*>(backEnd);
    return graph != nullptr ? graph->GetPixelHeight() : -1;
}

double cViewTestProbe::frequencyFraction(QObject* backEnd, int code) const
{
    const auto* graph = qobject_cast<const cPEQQmlBackEnd2*>(backEnd);
    return graph != nullptr ? graph->FrequencyFraction(code) : -1;
}

double cViewTestProbe::gainFraction(QObject* backEnd, double dB) const
{
    const auto* graph = qobject_cast<const cPEQQmlBackEnd2*>(backEnd);
    return graph != nullptr ? graph->GainFraction(dB) : -1;
}

QVariantMap cViewTestProbe::band(QObject* band) const
{
    const auto* graphBand = qobject_cast<const cPEQQmlBand2*>(band);
    if (graphBand == nullptr)
    {
        return {};
    }
    return {{QStringLiteral("frequency"), int(graphBand->GetFrequency())},
            {QStringLiteral("gain"), int(graphBand->GetGain())},
            {QStringLiteral("width"), int(graphBand->GetWidth())},
            {QStringLiteral("type"), int(graphBand->GetBandTypeValue())},
            {QStringLiteral("frequencyMin"), int(graphBand->GetFrequencyRangeMinCode())},
            {QStringLiteral("frequencyMax"), int(graphBand->GetFrequencyRangeMaxCode())}};
}

QVariantMap cViewTestProbe::unitBand(int panel, bool right, int band) const
{
    const cRegistryLocker lock;
    const cParametricEQUnit* unit = EQUnit(panel, right);
    if (unit == nullptr || band < 0 || band >= unit->GetNumberOfBands())
    {
        return {};
    }
    const sParametricEQBand settings = unit->GetBand(UBYTE(band));
    return {{QStringLiteral("frequency"), int(settings.mFrequencyCode)},
            {QStringLiteral("gain"), int(settings.mGain)},
            {QStringLiteral("width"), int(settings.mWidthCode)},
            {QStringLiteral("type"), int(settings.mType)},
            {QStringLiteral("bypass"), settings.mBypass ? 1 : 0}};
}

int cViewTestProbe::unitBypass(int panel, bool right) const
{
    const cRegistryLocker lock;
    const cParametricEQUnit* unit = EQUnit(panel, right);
    return unit != nullptr ? (unit->GetBypass() ? 1 : 0) : -1;
}

int cViewTestProbe::hpfSlope(int panel) const
{
    const cRegistryLocker lock;
    const cLowMidHigh* lowMidHigh = Panel(panel);
    const cHPFUnit* unit = lowMidHigh != nullptr && lowMidHigh->GetHPFDriver() != nullptr
                               ? lowMidHigh->GetHPFDriver()->GetHPFUnit()
                               : nullptr;
    return unit != nullptr ? int(unit->GetSlopeType()) : -1;
}

int cViewTestProbe::peqGang(int panel) const
{
    const cRegistryLocker lock;
    const cLowMidHigh* lowMidHigh = Panel(panel);
    const cParametricEQGangDriver* gang = lowMidHigh != nullptr ? lowMidHigh->GetGangDriver() : nullptr;
    return gang != nullptr ? (gang->GetGang() ? 1 : 0) : -1;
}

cLowMidHigh* cViewTestProbe::Panel(int panel) const
{
    const cApplication* application = mSession.GetApplication();
    if (application == nullptr)
    {
        return nullptr;
    }
    switch (panel)
    {
    case 1:
        return application->GetLow();
    case 2:
        return application->GetMid();
    case 3:
        return application->GetHigh();
    default:
        return nullptr;
    }
}

cParametricEQUnit* cViewTestProbe::EQUnit(int panel, bool right) const
{
    const cLowMidHigh* lowMidHigh = Panel(panel);
    if (lowMidHigh == nullptr)
    {
        return nullptr;
    }
    const cParametricEQDriver* driver =
        right ? lowMidHigh->GetRightEQDriver() : lowMidHigh->GetLeftEQDriver();
    return driver != nullptr ? driver->GetUnit() : nullptr;
}

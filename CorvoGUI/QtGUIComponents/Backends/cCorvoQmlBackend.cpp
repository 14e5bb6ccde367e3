#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"

#include "CorvoGUI/QtGUIComponents/Backends/DialogPlace.h"
#include "CorvoGUI/QtGUIComponents/Backends/cInOutFaderPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cLowMidHighPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <initializer_list>

namespace
{

double RoundToHundredths(double value)
{
    return std::round(value * 100.0) / 100.0;
}

// Stores the rounded scale when it differs; true when it changed. A scale that is not a finite number
// is reported and changes nothing.
bool StoreScale(double& stored, double scale, const char* which)
{
    if (!std::isfinite(scale))
    {
        KV_REPORT_ERROR("Window %s scale %f refused", which, scale);
        return false;
    }
    const double rounded = RoundToHundredths(scale);
    if (rounded == stored)
    {
        return false;
    }
    stored = rounded;
    return true;
}

} // namespace

cCorvoQmlBackend::cCorvoQmlBackend(QObject* parent)
    : QObject(parent)
{
    {
        // Net objects join the tick list as they register: none may be scanned half made.
        cRegistryLocker lock;
        mSerialConnection = new cSerialConnectionBackend(this);
        mSavesDialog = new cSavesDialogBackend(this);
    }
    mInOutFader = new cInOutFaderPanelBackend(this);
    mLow = new cLowMidHighPanelBackend(1, this);
    mMid = new cLowMidHighPanelBackend(2, this);
    mHigh = new cLowMidHighPanelBackend(3, this);
}

cCorvoQmlBackend::~cCorvoQmlBackend()
{
    UnlinkBackends();
    for (QObject* backend :
         std::initializer_list<QObject*>{mSerialConnection, mSavesDialog, mInOutFader, mLow, mMid, mHigh})
    {
        backend->deleteLater();
    }
}

QString cCorvoQmlBackend::versionAndRevisionString() const
{
    return QString::fromLatin1(VERSION) + QString::fromLatin1(REVISION);
}

bool cCorvoQmlBackend::LinkBackends()
{
    bool ok = mInOutFader->LinkDrivers();
    for (cLowMidHighPanelBackend* panel : {mLow, mMid, mHigh})
    {
        ok &= panel->LinkDrivers();
    }
    return ok;
}

void cCorvoQmlBackend::UnlinkBackends()
{
    if (mSerialConnection->IsRegistered())
    {
        mSerialConnection->Unregister();
    }
    if (mSavesDialog->IsRegistered())
    {
        mSavesDialog->Unregister();
    }
    mInOutFader->UnlinkDrivers();
    for (cLowMidHighPanelBackend* panel : {mLow, mMid, mHigh})
    {
        panel->UnlinkDrivers();
    }
}

void cCorvoQmlBackend::setWindowHScale(double Scale)
{
    if (StoreScale(mWindowHScale, Scale, "height"))
    {
        emit windowHScaleChanged();
    }
}

void cCorvoQmlBackend::setWindowWScale(double Scale)
{
    if (StoreScale(mWindowWScale, Scale, "width"))
    {
        emit windowWScaleChanged();
    }
}

QRect cCorvoQmlBackend::dialogPlace(QWindow* over, int width, int height, bool ownWindow) const
{
    const QSize size(width, height);
    if (over != nullptr && !ownWindow)
    {
        const QRect window(QPoint(0, 0), over->size());
        return nDialogPlace::Over(window, size, window);
    }
    QScreen* screen = over != nullptr ? over->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    return nDialogPlace::Over(over != nullptr ? over->geometry() : area, size, area);
}

#pragma once

#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"
#include "tests/qml/WindowSupport/cFakeSavesManager.h"
#include "tests/qml/WindowSupport/cFakeSerialConnectDriver.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QColor>
#include <QPointF>
#include <QQmlApplicationEngine>
#include <QString>
#include <QStringList>

#include <memory>

class QQuickItem;
class QQuickWindow;
class cCorvoQmlBackend;

// The program's window, "qrc:/main.qml", over a real root back end (_App) whose serial connection
// and saves dialog back ends are linked to stand-ins for the serial connection driver and the saves
// manager instead of the device model (whose units are absent: the panels stay unlinked). The test
// thread stands in for the syscall thread: Tick delivers the framework's ticks and messages, then
// the Qt events, so every step is deterministic. The stand-ins start with no port, state 0 and the
// version "V1.2".
//
// The process registers the QML types (RegisterQmlTypes) before the first harness is made. One
// harness at a time; GUI thread.
class cMainWindowHarness
{
public:
    cMainWindowHarness();
    // The window goes first, then the back ends, the stand-ins and the framework.
    ~cMainWindowHarness();

    cMainWindowHarness(const cMainWindowHarness&) = delete;
    cMainWindowHarness& operator=(const cMainWindowHarness&) = delete;

    // Loads the window (the program's, or another window file of its resources over the same back
    // ends) and waits until it is exposed and, for the program's window, has made every tab's panel;
    // false with a warning when it does not load.
    bool Load(const QString& url = QStringLiteral("qrc:/main.qml"));

    QQuickWindow* Window() const { return mWindow; }
    cCorvoQmlBackend& Backend() const { return *mBackend; }
    cFakeSerialConnectDriver& Driver() const { return *mDriver; }
    cFakeSavesManager& Saves() const { return *mSaves; }

    // The window's item or object of that name below the root (the first one found; items also in the
    // visual tree, where the port chooser's buttons are); null when none.
    QQuickItem* Item(const QString& objectName) const;
    QObject* Object(const QString& objectName) const;
    // The item's centre in window coordinates.
    static QPointF Centre(const QQuickItem* item);
    // A left click with the mouse at the item's centre, then the events and messages it caused.
    void Click(const QQuickItem* item);

    // Framework ticks with every message they cause, then the pending Qt events.
    void Tick(int ticks = 1);
    // Delivers messages and Qt events without a tick.
    void Pump();
    // The stand-in lists these ports; ticks until the back end has asked for the list (it asks every
    // 251 ticks while no connection is wanted). False when it did not ask.
    bool ListPorts(const QStringList& names);
    // The link reports this state (and error) at the back end's next status request (every 51
    // ticks while a connection is wanted). False when it did not ask.
    bool ReportStatus(int state, int error = 0);

    // The status line's text and colour.
    QString StatusText() const;
    QColor StatusColour() const;
    bool OverlayShown() const;

private:
    // Ticks until the stand-in driver has received one more request of that method.
    bool TickUntilRequest(UWORD method, int maxTicks);

    cUserInterfaceResources mResources;
    cScopedKVNetSystem mSystem;
    std::unique_ptr<cFakeSerialConnectDriver> mDriver;
    std::unique_ptr<cFakeSavesManager> mSaves;
    cCorvoQmlBackend* mBackend = nullptr;
    std::unique_ptr<QQmlApplicationEngine> mEngine;
    QQuickWindow* mWindow = nullptr;
};

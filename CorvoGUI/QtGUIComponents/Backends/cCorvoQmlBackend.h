#pragma once

#include <QObject>
#include <QRect>
#include <QString>

class cInOutFaderPanelBackend;
class cLowMidHighPanelBackend;
class cSavesDialogBackend;
class cSerialConnectionBackend;
class QWindow;

// The one object through which the user interface reaches every back end: the context property _App.
// It owns, as children, the serial connection back end, the saves dialog back end, the in/out fader
// panel and the LOW, MID and HIGH panels (types 1, 2, 3), made in that order; it also keeps the
// version text and two window scale factors for the user interface, and tells the window's dialogs
// where they open.
//
// Lifecycle: made once the framework and the device model run (the serial connection and saves
// dialog back ends register and queue their links as they are made, every driver attaches as it is
// made); LinkBackends once, before QML loads; UnlinkBackends after the syscall thread has stopped,
// while the framework still exists; then deleted. Every unlink step is safe to repeat, and once
// unlinked the destruction of the whole tree touches no net object, so it may follow the
// framework's own shutdown.
//
// Threads: GUI thread only. It takes the registry lock itself while it makes the two net-object back
// ends, so it may be made while the syscall thread runs.
class cCorvoQmlBackend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString versionAndRevisionString READ versionAndRevisionString CONSTANT)
    Q_PROPERTY(cSerialConnectionBackend* backendSerialConnection READ backendSerialConnection CONSTANT)
    Q_PROPERTY(cSavesDialogBackend* backendSavesDialog READ backendSavesDialog CONSTANT)
    Q_PROPERTY(cInOutFaderPanelBackend* backendInOutFader READ backendInOutFader CONSTANT)
    Q_PROPERTY(cLowMidHighPanelBackend* backendLow READ backendLow CONSTANT)
    Q_PROPERTY(cLowMidHighPanelBackend* backendMid READ backendMid CONSTANT)
    Q_PROPERTY(cLowMidHighPanelBackend* backendHigh READ backendHigh CONSTANT)
    Q_PROPERTY(double windowHScale READ windowHScale WRITE setWindowHScale NOTIFY windowHScaleChanged)
    Q_PROPERTY(double windowWScale READ windowWScale WRITE setWindowWScale NOTIFY windowWScaleChanged)

public:
    static constexpr const char* VERSION = "V1.00";
    static constexpr const char* REVISION = "";

    explicit cCorvoQmlBackend(QObject* parent = nullptr);
    // UnlinkBackends, then deleteLater on the six back ends (children, so they go with it).
    ~cCorvoQmlBackend() override;

    QString versionAndRevisionString() const;
    cSerialConnectionBackend* backendSerialConnection() const { return mSerialConnection; }
    cSavesDialogBackend* backendSavesDialog() const { return mSavesDialog; }
    cInOutFaderPanelBackend* backendInOutFader() const { return mInOutFader; }
    cLowMidHighPanelBackend* backendLow() const { return mLow; }
    cLowMidHighPanelBackend* backendMid() const { return mMid; }
    cLowMidHighPanelBackend* backendHigh() const { return mHigh; }
    double windowHScale() const { return mWindowHScale; }
    double windowWScale() const { return mWindowWScale; }

    // Where a dialog of that size opens over the window (nDialogPlace::Over): as a window of its own
    // (ownWindow), in desktop coordinates within the available area of the window's screen (less
    // panels and docks); else, as an item in the window, in the window's coordinates within it.
    // Without a window, centred on the primary screen's available area.
    Q_INVOKABLE QRect dialogPlace(QWindow* over, int width, int height, bool ownWindow) const;

    // Queues the links of the in/out fader panel, then of the LOW, MID and HIGH panels. False when
    // any link was refused.
    bool LinkBackends();
    // The serial connection and saves dialog back ends leave the registry, then the in/out fader
    // panel and the LOW, MID and HIGH panels unlink their drivers. Safe to repeat.
    void UnlinkBackends();

public slots:
    // The scale rounded to two decimals (halves away from zero); stored and announced when that
    // differs from the stored one. A scale that is not a finite number is reported and refused.
    void setWindowHScale(double Scale);
    void setWindowWScale(double Scale);

signals:
    void windowHScaleChanged();
    void windowWScaleChanged();

private:
    cSerialConnectionBackend* mSerialConnection = nullptr;
    cSavesDialogBackend* mSavesDialog = nullptr;
    cInOutFaderPanelBackend* mInOutFader = nullptr;
    cLowMidHighPanelBackend* mLow = nullptr;
    cLowMidHighPanelBackend* mMid = nullptr;
    cLowMidHighPanelBackend* mHigh = nullptr;
    double mWindowHScale = 1.0;
    double mWindowWScale = 1.0;
};

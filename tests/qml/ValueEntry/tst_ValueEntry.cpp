// Typing into the value boxes of the whole program in a real window (run under Xvfb), key by key as
// a person does, against the simulated device: an entry ended by Tab or Shift+Tab is sent as Enter
// sends it, and the keys typed after it go to the next box, never into the entry that was ended.
// The functions run in order on one program.

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cFaderControlStripBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cInOutFaderPanelBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "tests/qml/Tabs/support/ProgramLink.h"
#include "tests/qml/Tabs/support/WindowItems.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using nWindowItems::Find;

namespace
{

constexpr int TIMEOUT_MS = 15000;

// The gains (1/256 dB) of the control-strip records the device received for that strip, in order.
QList<GAIN> StripGains(const cSimulatedDevice& device, quint32 strip)
{
    QList<GAIN> gains;
    for (const cSimulatedDevice::sReceivedFrame& frame : device.Frames())
    {
        std::uint32_t index = 0;
        cSimulatedDeviceModel::sControlStrip record;
        if (frame.mCommand == nSerialProtocol::CMD_CONTROL_STRIP &&
            cSimulatedDeviceModel::DecodeControlStrip(frame.mPayload, index, record) && index == strip)
        {
            gains.append(GAIN(qint16(record.mGainCode)));
        }
    }
    return gains;
}

// The control value of a gain entry of whole decibels, as a value box converts it.
int GainCode(int decibels)
{
    return 32768 + decibels * 256 + (decibels > 0 ? 8 : decibels < 0 ? -8 : 0);
}

} // namespace

class tst_ValueEntry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void tabAfterAnEntry_sendsItOnceAndTheNextKeysGoToTheNextBox();
    void tabKeys_endTheEntryAsEnterDoesInEveryKindOfBox_data();
    void tabKeys_endTheEntryAsEnterDoesInEveryKindOfBox();

private:
    QQuickWindow* Window() const { return mProgram->Window(); }
    bool ShowTab(int tab);
    // The text input of the value box at that path (below a CorvoCombiWidget or a CorvoValueWidget).
    QQuickItem* Input(const QStringList& path) const;
    // The driver of that value box.
    cQtSignalSlotContinuousControllerDriver* Driver(const QStringList& path) const;
    // Clicks the box and types the text key by key; false when the box did not take the entry.
    bool Type(const QStringList& path, const QString& text);
    void TypeKeys(const QString& text);

    QTemporaryDir mHome;
    std::unique_ptr<cQmlWarningGuard> mGuard;
    std::unique_ptr<cProgramUnderTest> mProgram;
};

void tst_ValueEntry::initTestCase()
{
    QVERIFY(mHome.isValid());
    qputenv("HOME", mHome.path().toLocal8Bit());
    QVERIFY(QDir::setCurrent(mHome.path()));
    QVERIFY2(QGuiApplication::platformName() == QStringLiteral("xcb"),
             "a real window: run under Xvfb with QT_QPA_PLATFORM=xcb");
    // The display's own pointer waits in a corner away from the window.
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());

    mGuard = std::make_unique<cQmlWarningGuard>();
    mProgram = std::make_unique<cProgramUnderTest>();
    QVERIFY(mProgram->Start());
    QVERIFY(QTest::qWaitForWindowExposed(Window()));
    Window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(Window()));
    QVERIFY(nProgramLink::ConnectKeepingModel(*mProgram, mHome.path()));
}

void tst_ValueEntry::cleanup()
{
    const QStringList problems = mGuard->Problems();
    mGuard->Clear();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void tst_ValueEntry::cleanupTestCase()
{
    if (mProgram != nullptr)
    {
        QVERIFY(mProgram->Disconnect());
    }
    mProgram.reset();
    QML_VERIFY_NO_WARNINGS(*mGuard);
    mGuard.reset();
}

bool tst_ValueEntry::ShowTab(int tab)
{
    QQuickItem* tabBar = Find(Window(), {QStringLiteral("tabBar")});
    return nWindowItems::Click(Window(), Find(tabBar, QStringLiteral("tab%1").arg(tab))) &&
           tabBar->property("currentIndex").toInt() == tab;
}

QQuickItem* tst_ValueEntry::Input(const QStringList& path) const
{
    return Find(Find(Window(), path), QStringLiteral("valueInput"));
}

cQtSignalSlotContinuousControllerDriver* tst_ValueEntry::Driver(const QStringList& path) const
{
    const QQuickItem* input = Input(path);
    const QObject* widget = input != nullptr ? input->parentItem() : nullptr;
    return widget != nullptr ? qobject_cast<cQtSignalSlotContinuousControllerDriver*>(
                                   widget->property("driver").value<QObject*>())
                             : nullptr;
}

bool tst_ValueEntry::Type(const QStringList& path, const QString& text)
{
    QQuickItem* input = Input(path);
    if (!nWindowItems::Click(Window(), input) || !input->hasActiveFocus())
    {
        return false;
    }
    TypeKeys(text);
    return true;
}

void tst_ValueEntry::TypeKeys(const QString& text)
{
    for (const QChar key : text)
    {
        QTest::keyClick(Window(), key.toLatin1());
    }
}

void tst_ValueEntry::tabAfterAnEntry_sendsItOnceAndTheNextKeysGoToTheNextBox()
{
    const QStringList left{QStringLiteral("inputBlock"), QStringLiteral("gainBox0")};
    const QStringList right{QStringLiteral("inputBlock"), QStringLiteral("gainBox1")};
    cFaderControlStripBackend* inputL = mProgram->Backend()->backendInOutFader()->inputL();
    cFaderControlStripBackend* inputR = mProgram->Backend()->backendInOutFader()->inputR();
    QVERIFY(ShowTab(0));
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    const int rightBefore = inputR->faderDriver()->networkValue();
    mProgram->Device().ClearLog();
    QSignalSpy leftChanges(inputL->faderDriver(),
                           &cQtSignalSlotContinuousControllerDriver::ValuePropertyChanged);

    // "-3", Tab, "5", Enter in the Input L box.
    QVERIFY(Type(left, QStringLiteral("-3")));
    QTest::keyClick(Window(), Qt::Key_Tab);
    QCOMPARE(inputL->faderDriver()->networkValue(), GainCode(-3));
    QVERIFY(!Input(left)->hasActiveFocus());
    QCOMPARE(Input(left)->property("text").toString(), QStringLiteral("-3.0"));
    // The Input R box takes what follows.
    QVERIFY(Input(right)->hasActiveFocus());
    QCOMPARE(Input(right)->property("text").toString(), QString());
    TypeKeys(QStringLiteral("5"));
    QCOMPARE(Input(left)->property("text").toString(), QStringLiteral("-3.0"));
    QCOMPARE(Input(right)->property("text").toString(), QStringLiteral("5"));
    QCOMPARE(inputR->faderDriver()->networkValue(), rightBefore);
    // Enter sends it there, as far as the input fader goes: 0 dB.
    QTest::keyClick(Window(), Qt::Key_Return);
    QCOMPARE(inputR->faderDriver()->networkValue(), inputR->faderDriver()->max());
    QCOMPARE(inputR->faderDriver()->networkValue(), GainCode(0));
    QCOMPARE(Input(right)->property("text").toString(), QStringLiteral("0.0"));
    QCOMPARE(Input(left)->property("text").toString(), QStringLiteral("-3.0"));
    QCOMPARE(inputL->faderDriver()->networkValue(), GainCode(-3));
    QCOMPARE(leftChanges.count(), 1);

    // The device got each strip's gain once.
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    QCOMPARE(StripGains(mProgram->Device(), 0), QList<GAIN>{ConvertUWORDToGain(UWORD(GainCode(-3)))});
    QCOMPARE(StripGains(mProgram->Device(), 1), QList<GAIN>{0});
}

void tst_ValueEntry::tabKeys_endTheEntryAsEnterDoesInEveryKindOfBox_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("box");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("next");

    const int tabKey = Qt::Key_Tab;
    const int none = Qt::NoModifier;
    const int shift = Qt::ShiftModifier;
    const QString low = QStringLiteral("lowPanel");
    const QString peq = QStringLiteral("peqBlockLeft");
    // Along the window's order of the shown tab's boxes, round from the last to the first.
    QTest::newRow("fader gain, Shift+Tab") << 0 << QStringList{"inputBlock", "gainBox1"} << "-6" << tabKey
                                           << shift << QStringList{"inputBlock", "gainBox0"};
    QTest::newRow("the last box, Tab: the first") << 0 << QStringList{"highBlock", "gainBox1"} << "-2"
                                                  << tabKey << none << QStringList{"inputBlock", "gainBox0"};
    // Shift+Tab as the X server gives it.
    QTest::newRow("the first box, Backtab: the last")
        << 0 << QStringList{"inputBlock", "gainBox0"} << "-4" << int(Qt::Key_Backtab) << shift
        << QStringList{"highBlock", "gainBox1"};
    QTest::newRow("high-pass frequency") << 1 << QStringList{low, "hpfFrequency"} << "200" << tabKey << none
                                         << QStringList{low, "lpfFrequency"};
    QTest::newRow("delay") << 1 << QStringList{low, "delayLeft"} << "2ms" << tabKey << none
                           << QStringList{low, "delayRight"};
    QTest::newRow("band frequency") << 1 << QStringList{low, peq, "frequencyBox0"} << "200" << tabKey << none
                                    << QStringList{low, peq, "gainBox0"};
    QTest::newRow("band gain") << 1 << QStringList{low, peq, "gainBox0"} << "6" << tabKey << none
                               << QStringList{low, peq, "widthBox0"};
    QTest::newRow("band width") << 1 << QStringList{low, peq, "widthBox0"} << "1/3" << tabKey << none
                                << QStringList{low, peq, "frequencyBox1"};
    QTest::newRow("band frequency, Shift+Tab") << 1 << QStringList{low, peq, "frequencyBox1"} << "3k"
                                               << tabKey << shift << QStringList{low, peq, "widthBox0"};
}

// The value an entry ended by Tab or Shift+Tab sends is the one Enter sends for it: the entry is
// first ended by Enter, the box's value put back, then the same entry ended by the key.
void tst_ValueEntry::tabKeys_endTheEntryAsEnterDoesInEveryKindOfBox()
{
    QFETCH(int, tab);
    QFETCH(QStringList, box);
    QFETCH(QString, entry);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, next);

    QVERIFY(ShowTab(tab));
    cQtSignalSlotContinuousControllerDriver* driver = Driver(box);
    cQtSignalSlotContinuousControllerDriver* nextDriver = Driver(next);
    QVERIFY(driver != nullptr && nextDriver != nullptr && driver != nextDriver);
    const int start = driver->networkValue();
    const QString startText = Input(box)->property("text").toString();
    const int nextStart = nextDriver->networkValue();
    const QString nextText = Input(next)->property("text").toString();

    QVERIFY(Type(box, entry));
    QTest::keyClick(Window(), Qt::Key_Return);
    const int entered = driver->networkValue();
    const QString enteredText = Input(box)->property("text").toString();
    QVERIFY2(entered != start, qPrintable(QStringLiteral("%1 sends nothing").arg(entry)));
    driver->setNetworkValue(start);
    QTRY_COMPARE(Input(box)->property("text").toString(), startText);

    QVERIFY(Type(box, entry));
    QTest::keyClick(Window(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(driver->networkValue(), entered);
    QVERIFY(!Input(box)->hasActiveFocus());
    QCOMPARE(Input(box)->property("text").toString(), enteredText);
    // The next box has the focus, and what is typed now is its entry, which Escape cancels.
    QVERIFY(Input(next)->hasActiveFocus());
    QCOMPARE(Input(next)->property("text").toString(), QString());
    TypeKeys(QStringLiteral("1"));
    QCOMPARE(Input(next)->property("text").toString(), QStringLiteral("1"));
    QCOMPARE(Input(box)->property("text").toString(), enteredText);
    QTest::keyClick(Window(), Qt::Key_Escape);
    QVERIFY(!Input(next)->hasActiveFocus());
    QCOMPARE(Input(next)->property("text").toString(), nextText);
    QCOMPARE(nextDriver->networkValue(), nextStart);
    QCOMPARE(driver->networkValue(), entered);
}

int main(int argc, char** argv)
{
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_ValueEntry test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ValueEntry.moc"

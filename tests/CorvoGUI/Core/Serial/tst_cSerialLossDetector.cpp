#include "CorvoGUI/Core/Serial/cSerialLossDetector.h"

#include <QtTest>

// One tick as the port manager sees it: the port's error, the bytes taken, whether the port's
// device file still exists.
struct sLossTick
{
    int mError;
    int mBytes;
    bool mLocationExists;
};
Q_DECLARE_METATYPE(QList<sLossTick>)

class tst_cSerialLossDetector : public QObject
{
    Q_OBJECT

private slots:
    void observe_tellsAVanishFromASpuriousReadError_data();
    void observe_tellsAVanishFromASpuriousReadError();
};

void tst_cSerialLossDetector::observe_tellsAVanishFromASpuriousReadError_data()
{
    QTest::addColumn<QList<sLossTick>>("ticks");
    QTest::addColumn<int>("lostAtTick"); // -1: never
    const int read = QSerialPort::ReadError;
    const int none = QSerialPort::NoError;
    const sLossTick spurious{read, 0, true};
    const sLossTick quiet{none, 0, true};
    const int limit = cSerialLossDetector::READ_ERROR_TICKS_FOR_LOSS;

    QTest::newRow("one spurious read error") << QList<sLossTick>{quiet, spurious, quiet, quiet} << -1;
    QList<sLossTick> almost;
    for (int i = 0; i < limit - 1; ++i)
    {
        almost << spurious;
    }
    QTest::newRow("read errors one short of the limit, then quiet")
        << (QList<sLossTick>(almost) << quiet) << -1;
    QTest::newRow("read errors on consecutive ticks") << (QList<sLossTick>(almost) << spurious) << limit - 1;
    QTest::newRow("a tick that reads something starts the count again")
        << (QList<sLossTick>(almost) << sLossTick{read, 8, true} << almost) << -1;
    QTest::newRow("read error, device file gone") << QList<sLossTick>{quiet, {read, 0, false}} << 1;
    QTest::newRow("read error with data, device file gone")
        << QList<sLossTick>{{read, 3, false}, quiet} << -1;
    QTest::newRow("resource error") << QList<sLossTick>{{int(QSerialPort::ResourceError), 5, true}} << 0;
    QTest::newRow("device not found")
        << QList<sLossTick>{{int(QSerialPort::DeviceNotFoundError), 0, true}} << 0;
    QTest::newRow("write error") << QList<sLossTick>{{int(QSerialPort::WriteError), 0, true}} << 0;
    QTest::newRow("other errors are no loss") << QList<sLossTick>{{int(QSerialPort::ParityError), 0, false},
                                                                  {int(QSerialPort::FramingError), 0, false}}
                                              << -1;
}

void tst_cSerialLossDetector::observe_tellsAVanishFromASpuriousReadError()
{
    QFETCH(QList<sLossTick>, ticks);
    QFETCH(int, lostAtTick);
    cSerialLossDetector detector;
    int lost = -1;
    for (int i = 0; i < ticks.size() && lost < 0; ++i)
    {
        const sLossTick& tick = ticks[i];
        if (detector.Observe(static_cast<QSerialPort::SerialPortError>(tick.mError), tick.mBytes,
                             [&] { return tick.mLocationExists; }))
        {
            lost = i;
        }
    }
    QCOMPARE(lost, lostAtTick);
}

QTEST_GUILESS_MAIN(tst_cSerialLossDetector)
#include "tst_cSerialLossDetector.moc"

// What a recall does with saves files that are not whole and valid.
//
//   bench_RecallChecks [megabytes]      (default 50: the size of the large files)
//
// Builds the whole device model (the eight control strips and the LOW, MID and HIGH panels) on a
// non-volatile RAM file of its own under a temporary HOME, saves it, changes it, and then recalls
// each case. Printed per case: the recall's result, the bytes of the non-volatile image that the
// recall changed, and how long the recall took (the time the registry lock is held when a request
// message runs it). A recall that has not returned after 3 s is reported as blocked.
//
// Goal: every case other than the valid file gives result 0, changes no byte and returns at once
// (large files and anything that is not a regular file are refused before they are read).

#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Saves/cSavesFileCipher.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/cControlStripDriver.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/sWholeModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace
{

constexpr qint64 kNonVolatileSize = 0x200000;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray Cipher(const QByteArray& bytes, bool encrypt, const QString& folder)
{
    const QString in = folder + "/cipher-in";
    const QString out = folder + "/cipher-out";
    WriteAll(in, bytes);
    QFile input(in);
    QFile output(out);
    if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !cSavesFileCipher::CipherData(input, output, encrypt))
    {
        return QByteArray();
    }
    input.close();
    output.close();
    return ReadAll(out);
}

int DifferingBytes(const QByteArray& a, const QByteArray& b)
{
    int count = std::abs(a.size() - b.size());
    for (int i = 0; i < qMin(a.size(), b.size()); ++i)
    {
        count += a[i] != b[i] ? 1 : 0;
    }
    return count;
}

struct sModel : sWholeModel
{
    explicit sModel(const QString& nvPath)
        : sWholeModel(nvPath, kNonVolatileSize, true)
    {
    }
    // Every strip's gain and mute.
    void SetStrips(GAIN gain, bool mute)
    {
        for (int i = 0; i < cInOutFader::NUMBER_OF_STRIPS; ++i)
        {
            cControlStripUnit::sSettings settings;
            settings.mGain = gain;
            settings.mMute = mute;
            mFader.GetStrip(i)->GetUnit()->ApplySettings(settings);
        }
        cMessagePump::Pump();
    }
};

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid())
    {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    qputenv("HOME", home.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    RebuildDataFolderPaths();
    // Reports go to standard error, the figures to standard output.
    SetReportSink([](const std::string& line) { std::fputs(line.c_str(), stderr); });
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const QString folder = home.path();
    const QString nvPath = folder + "/NonVolatileRamFile";

    StartSystem(0, true);
    int status = 0;
    {
        auto model = std::make_unique<sModel>(nvPath);
        // State A is saved; every recall starts from state B.
        model->SetStrips(0, false);
        const QString valid = folder + "/valid.cfg";
        if (!model->mSaves.StartSave(valid))
        {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        const QByteArray file = ReadAll(valid);
        const QByteArray plain = Cipher(file, false, folder);

        struct sCase
        {
            const char* mName;
            QString mPath;
        };
        std::vector<sCase> cases;
        cases.push_back({"valid file", valid});

        const QString cut = folder + "/cut.cfg";
        WriteAll(cut, file.left(file.size() / 2 / 8 * 8));
        cases.push_back({"cut at a whole block", cut});

        // One bit of the enciphered block that holds the second and third strips' records.
        QByteArray flippedBit = file;
        flippedBit[12] = char(flippedBit[12] ^ 0x01);
        const QString garbled = folder + "/garbled.cfg";
        WriteAll(garbled, flippedBit);
        cases.push_back({"one enciphered strip byte flipped", garbled});

        // The first strip's polarity byte (plain offset 3 + 1) becomes 0x5A.
        QByteArray flippedPlain = plain;
        flippedPlain[4] = char(0x5A);
        const QString flipped = folder + "/flipped.cfg";
        WriteAll(flipped, Cipher(flippedPlain, true, folder));
        cases.push_back({"a strip's polarity byte set to 0x5A", flipped});

        const QString padded = folder + "/padded.cfg";
        WriteAll(padded, file + QByteArray(megabytes * 1024 * 1024, '\0'));
        cases.push_back({"valid file followed by zeros", padded});

        QByteArray noise(megabytes * 1024 * 1024, '\0');
        QRandomGenerator generator(42);
        generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        const QString random = folder + "/random.cfg";
        WriteAll(random, noise);
        noise.clear();
        cases.push_back({"random file", random});

        const QString fifo = folder + "/fifo.cfg";
        ::mkfifo(fifo.toLocal8Bit().constData(), 0600);
        cases.push_back({"FIFO", fifo});

        std::printf("Recall of saves files that are not whole and valid (large files: %d MB)\n", megabytes);
        std::printf("Goals: the valid file gives 1; every other case 0, no NV byte changed, no blocking, "
                    "a few ms at most\n");
        std::printf("%-36s %8s %14s %12s\n", "case", "result", "NV bytes", "time ms");
        for (const sCase& c : cases)
        {
            model->SetStrips(-6 * 256, true);
            const QByteArray before = ReadAll(nvPath);
            std::atomic<bool> done{false};
            std::atomic<bool> result{false};
            QElapsedTimer timer;
            timer.start();
            std::unique_ptr<QThread> worker(QThread::create(
                [&]
                {
                    result = model->mSaves.StartRecall(c.mPath);
                    done = true;
                }));
            worker->start();
            while (!done && timer.elapsed() < 3000)
            {
                QThread::msleep(1);
            }
            const qint64 elapsed = timer.elapsed();
            if (!done)
            {
                // Release the reader: a writer opens and closes the FIFO.
                QFile writer(c.mPath);
                writer.open(QIODevice::WriteOnly);
                writer.close();
                worker->wait();
                std::printf("%-36s %8s %14s %12s\n", c.mName, "-", "-", "blocked");
                continue;
            }
            worker->wait();
            cMessagePump::Pump();
            const int changed = DifferingBytes(before, ReadAll(nvPath));
            std::printf("%-36s %8d %14d %12lld\n", c.mName, result ? 1 : 0, changed,
                        static_cast<long long>(elapsed));
        }
        model.reset();
    }
    cMessagePump::Pump();
    DeleteSystem();
    return status;
}

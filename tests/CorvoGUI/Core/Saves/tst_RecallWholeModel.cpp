#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Saves/cSavesFileCipher.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/cControlStripDriver.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/support/TestFiles.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"
#include "tests/support/sWholeModel.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <sys/stat.h>

namespace
{

constexpr qint64 kNonVolatileSize = 0x200000;

enum eRecallCase
{
    CASE_CUT_AT_A_BLOCK,
    CASE_ENCIPHERED_BYTE_FLIPPED,
    CASE_FLAG_OUT_OF_RANGE,
    CASE_FOLLOWED_BY_ZEROS,
    CASE_RANDOM,
    CASE_FIFO,
    CASE_FOLDER,
};

QByteArray Decipher(QByteArray bytes)
{
    return cSavesFileCipher::DecipherBytes(bytes) ? bytes : QByteArray();
}

// The whole device model on a non-volatile RAM file of its own.
struct sModel : sWholeModel
{
    explicit sModel(const QString& path)
        : sWholeModel(path, kNonVolatileSize, true)
    {
        cMessagePump::Pump();
    }
    void SetStrips(GAIN gain, bool mute)
    {
        for (int i = 0; i < cInOutFader::NUMBER_OF_STRIPS; ++i)
        {
            cControlStripUnit::sSettings settings;
            settings.mGain = GAIN(gain + i);
            settings.mMute = mute;
            settings.mPolarity = i % 2 == 0;
            mFader.GetStrip(i)->GetUnit()->ApplySettings(settings);
        }
        cMessagePump::Pump();
    }
    QByteArray Image() const
    {
        return QByteArray(reinterpret_cast<const char*>(mStorage.GetStartAddress()),
                          int(mStorage.GetUsedSize()));
    }
};

} // namespace

Q_DECLARE_METATYPE(eRecallCase)

// Recall against the whole model: a file is applied whole or not at all, which the model's
// non-volatile image shows byte for byte.
class tst_RecallWholeModel : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(mFolder.isValid());
        mSystem = std::make_unique<cScopedKVNetSystem>();
        mModel = std::make_unique<sModel>(mFolder.filePath("NonVolatileRamFile"));
        mModel->SetStrips(0, false);
        mValid = mFolder.filePath("valid.cfg");
        QVERIFY(mModel->mSaves.StartSave(mValid));
        mSavedImage = mModel->Image();
        // Every recall starts from another state.
        mModel->SetStrips(-6 * 256, true);
        QVERIFY(mModel->Image() != mSavedImage);
    }
    void cleanup()
    {
        mModel.reset();
        cMessagePump::Pump();
        mSystem.reset();
    }

    void recall_ofAWholeValidFile_restoresTheSavedImage();
    void recall_ofAnythingElse_changesNoByte_data();
    void recall_ofAnythingElse_changesNoByte();

private:
    QTemporaryDir mFolder;
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<sModel> mModel;
    QString mValid;
    QByteArray mSavedImage;
};

void tst_RecallWholeModel::recall_ofAWholeValidFile_restoresTheSavedImage()
{
    cReportCapture capture;
    QVERIFY(mModel->mSaves.StartRecall(mValid));
    QVERIFY(mModel->mSaves.LastRecallValid());
    QVERIFY(mModel->Image() == mSavedImage);
    QVERIFY2(!capture.Contains("ERROR: "), qPrintable(capture.Lines().join("")));
}

void tst_RecallWholeModel::recall_ofAnythingElse_changesNoByte_data()
{
    QTest::addColumn<eRecallCase>("recallCase");
    QTest::addColumn<QString>("report");
    QTest::newRow("cut at a whole block") << CASE_CUT_AT_A_BLOCK << "Save file error: potential corruption";
    QTest::newRow("one enciphered byte of a strip record flipped")
        << CASE_ENCIPHERED_BYTE_FLIPPED << "Save file error: potential corruption";
    QTest::newRow("a strip's polarity neither 0 nor 1")
        << CASE_FLAG_OUT_OF_RANGE << "holds polarity 2, out of its range";
    QTest::newRow("a valid file followed by zeros")
        << CASE_FOLLOWED_BY_ZEROS << "more than a saves file of this model";
    QTest::newRow("a large random file") << CASE_RANDOM << "more than a saves file of this model";
    QTest::newRow("a FIFO") << CASE_FIFO << "is not a regular file";
    QTest::newRow("a folder") << CASE_FOLDER << "is not a regular file";
}

void tst_RecallWholeModel::recall_ofAnythingElse_changesNoByte()
{
    QFETCH(eRecallCase, recallCase);
    QFETCH(QString, report);
    const QByteArray valid = ReadFile(mValid);
    QCOMPARE(valid.size() % cSavesFileCipher::BLOCK_SIZE, 0);
    const QString path = mFolder.filePath(QString("case-%1").arg(int(recallCase)));
    switch (recallCase)
    {
    case CASE_CUT_AT_A_BLOCK:
        QVERIFY(WriteFile(path, valid.left(valid.size() / 2 / 8 * 8)));
        break;
    case CASE_ENCIPHERED_BYTE_FLIPPED:
    {
        QByteArray flipped = valid;
        flipped[12] = char(flipped[12] ^ 0x01); // the block of the second and third strips
        QVERIFY(WriteFile(path, flipped));
        break;
    }
    case CASE_FLAG_OUT_OF_RANGE:
    {
        QByteArray plain = Decipher(valid);
        plain[3 + 1] = char(2); // the first strip's polarity
        QVERIFY(cSavesFileCipher::KeyCipher());
        QFile in(mFolder.filePath("plain"));
        QFile out(path);
        QVERIFY(WriteFile(in.fileName(), plain));
        QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        QVERIFY(cSavesFileCipher::CipherData(in, out, true));
        break;
    }
    case CASE_FOLLOWED_BY_ZEROS:
        QVERIFY(WriteFile(path, valid + QByteArray(1 << 20, '\0')));
        break;
    case CASE_RANDOM:
    {
        QByteArray noise(1 << 20, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QVERIFY(WriteFile(path, noise));
        break;
    }
    case CASE_FIFO:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    case CASE_FOLDER:
        QVERIFY(QDir().mkpath(path));
        break;
    }
    const QByteArray before = mModel->Image();
    cReportCapture capture;
    // A FIFO with no writer must not block: the call returns at once.
    QVERIFY(!mModel->mSaves.StartRecall(path));
    cMessagePump::Pump();
    QVERIFY(!mModel->mSaves.LastRecallValid());
    QVERIFY(mModel->Image() == before);
    QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
}

QTEST_GUILESS_MAIN(tst_RecallWholeModel)
#include "tst_RecallWholeModel.moc"

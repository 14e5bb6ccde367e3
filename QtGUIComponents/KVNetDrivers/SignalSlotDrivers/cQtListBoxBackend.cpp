#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtListBoxBackend.h"

#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotListBoxDriver.h"

cQtListBoxBackend::cQtListBoxBackend(const char* name, const QStringList& descriptions,
                                     const QList<UBYTE>& values, QObject* parent)
    : QObject(parent)
    , mDriver(new cQtSignalSlotListBoxDriver(this, name, values, READ_PERIOD))
    , mDescriptions(new QQmlVariantListModel(this))
    , mDescriptionsStringList(descriptions)
{
    for (const QString& description : descriptions)
    {
        mDescriptions->append(description);
    }
    connect(mDriver, &cQtSignalSlotListBoxDriver::ValueChanged, this, &cQtListBoxBackend::driverValueChanged);
    connect(mDriver, &cQtSignalSlotListBoxDriver::CurrentIndexChanged, this,
            &cQtListBoxBackend::driverValueChanged);
}

cQtListBoxBackend::~cQtListBoxBackend()
{
    delete mDriver;
}

int cQtListBoxBackend::currentIndex() const
{
    return mDriver->currentIndex();
}

QString cQtListBoxBackend::currentDescription() const
{
    const int index = mDriver->currentIndex();
    if (index >= mDescriptions->count())
    {
        KV_REPORT_ERROR("List box index out of range");
        return QString();
    }
    return index < 0 ? QString() : mDescriptions->get(index).toString();
}

int cQtListBoxBackend::value() const
{
    return mDriver->Value();
}

bool cQtListBoxBackend::LinkFromParameter(const char* path, UWORD param, bool remove, bool sync)
{
    return mDriver->LinkValueFromParameter(path, param, remove, sync, true);
}

void cQtListBoxBackend::AddItem(UBYTE value, const QString& description)
{
    mDriver->AppendValue(value);
    mDescriptions->append(description);
}

void cQtListBoxBackend::AddDescription(const QString& description)
{
    AddItem(UBYTE(mDescriptions->count()), description);
}

void cQtListBoxBackend::ClearItems()
{
    mDriver->ClearValues();
    mDescriptions->clear();
}

void cQtListBoxBackend::setCurrentIndex(int arg)
{
    mDriver->SetCurrentIndex(arg);
}

void cQtListBoxBackend::setValue(int arg)
{
    mDriver->SetValue(arg);
}

void cQtListBoxBackend::driverValueChanged()
{
    emit currentIndexChanged(mDriver->currentIndex());
    emit currentDescriptionChanged(currentDescription());
    emit valueChanged(UBYTE(mDriver->Value()));
}

#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/QtDriverAttachment.h"

#include "KVNet/Core/cAudioDriver.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/QT/Trace/KVNetReports.h"

namespace nQtDriverAttachment
{

bool AttachByName(cAudioDriver& driver, const QString& name,
                  const std::function<bool(const char* localName)>& attach)
{
    if (name.isEmpty())
    {
        return false;
    }
    if (driver.GetAudioObject() != nullptr)
    {
        KV_REPORT_ERROR("Driver already has a net object");
        return false;
    }
    const QByteArray localName = name.toLocal8Bit();
    if (!attach(localName.constData()))
    {
        return false;
    }
    const cNetObject* object = driver.GetAudioObject();
    if (object == nullptr || object->GetHandle() == KV_NET_NO_HANDLE)
    {
        driver.DestroyAudioObject();
        return false;
    }
    return true;
}

bool Detach(cAudioDriver& driver)
{
    if (driver.GetAudioObject() == nullptr)
    {
        return false;
    }
    driver.DestroyAudioObject();
    return true;
}

QString NetObjectName(const cAudioDriver& driver)
{
    return QString::fromLocal8Bit(driver.GetAudioObjectName());
}

} // namespace nQtDriverAttachment

#include "KVNet/Core/cMultiContinuousControllerDriverBase.h"

#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cMultiCCDriverChild.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/Core/sParameterLinkingCommand.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cMultiContinuousControllerDriverBase::cMultiContinuousControllerDriverBase(const char* name,
                                                                           UBYTE numberOfChildren,
                                                                           const char* selectorPath)
    : cNetObject(name, 1, false, false)
    , mNumberOfChildren(numberOfChildren)
    , mChildren(new cMultiCCDriverChild*[numberOfChildren]())
    , mEnables(new UBYTE[numberOfChildren]())
{
    if (selectorPath == nullptr || selectorPath[0] == '\0')
    {
        return;
    }
    cSystemBuilder* builder = gSystemBuilder;
    if (builder == nullptr)
    {
        KV_REPORT_ERROR("No system builder: selector \"%s\" not linked to \"%s\"", selectorPath, GetName());
        return;
    }
    sParameterLinkingCommand command;
    command.mSourceParam = PARAMETER_BASE;
    command.mDestParam = PARAMETER_BASE;
    command.SetSourcePath(selectorPath);
    command.SetDestinationPath(GetName());
    command.mSync = true;
    builder->AddLinkCommandToList(command, false);
}

cMultiContinuousControllerDriverBase::~cMultiContinuousControllerDriverBase()
{
    Unregister();
    DestroyChildren();
    delete[] mChildren;
    delete[] mEnables;
}

void cMultiContinuousControllerDriverBase::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod != PARAMETER_BASE)
    {
        cNetObject::EntrypointMessage(message);
        return;
    }
    if (KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UBYTE), GetName()))
    {
        mSelected = message.GetUBYTE(0);
    }
}

bool cMultiContinuousControllerDriverBase::CreateChild(UBYTE index, const char* name)
{
    cRegistryLocker lock;
    if (index >= mNumberOfChildren || mChildren[index] != nullptr)
    {
        KV_REPORT_ERROR("Child %d of \"%s\" cannot be created (%d children)", int(index), GetName(),
                        int(mNumberOfChildren));
        return false;
    }
    mChildren[index] = new cMultiCCDriverChild(name, this, index);
    return true;
}

void cMultiContinuousControllerDriverBase::DestroyChildren()
{
    cRegistryLocker lock;
    for (UBYTE i = 0; i < mNumberOfChildren; ++i)
    {
        delete mChildren[i];
        mChildren[i] = nullptr;
    }
}

cMultiCCDriverChild* cMultiContinuousControllerDriverBase::GetChild(UBYTE index) const
{
    return index < mNumberOfChildren ? mChildren[index] : nullptr;
}

void cMultiContinuousControllerDriverBase::SetChildRange(UBYTE index, UWORD lower, UWORD upper,
                                                         bool levelType)
{
    cRegistryLocker lock;
    if (cMultiCCDriverChild* child = GetChild(index))
    {
        child->SetRange(lower, upper, levelType);
    }
}

void cMultiContinuousControllerDriverBase::SetChildEnable(UBYTE index, UBYTE enable)
{
    cRegistryLocker lock;
    if (GetChild(index) != nullptr)
    {
        mEnables[index] = enable;
    }
}

UWORD cMultiContinuousControllerDriverBase::ReadChildValue(UBYTE index)
{
    cMultiCCDriverChild* child = GetChild(index);
    if (child == nullptr)
    {
        return 0;
    }
    if (index == mSelected)
    {
        SBYTE delta = GetSelectedDelta(index);
        if (mEnables[index] != 0 && delta != 0)
        {
            child->MoveBy(delta);
        }
    }
    return child->MapLowerToOff(child->GetStoredValue());
}

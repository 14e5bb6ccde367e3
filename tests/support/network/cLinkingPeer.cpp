#include "tests/support/network/cLinkingPeer.h"

#include "KVNet/Core/KVNetMethods.h"
#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/PeerHello.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>

using namespace nPeerFrames;

namespace
{

// The handle whose find closes each batch of requests.
constexpr quint16 ASKER = 0x7FFE;

} // namespace

int cLinkingPeer::sAnswers::Made() const
{
    int count = 0;
    for (const auto& entry : mMade)
    {
        count += entry.second;
    }
    return count;
}

int cLinkingPeer::sAnswers::Refused() const
{
    int count = 0;
    for (const auto& entry : mRefused)
    {
        count += entry.second;
    }
    return count;
}

bool cLinkingPeer::Connect(const char* address, quint16 port, int timeoutMs)
{
    mAddress = address;
    mTcp = cRawSocket::TcpConnect(address, port, timeoutMs);
    mUdp = cRawSocket::Udp(address);
    if (!nPeerHello::Exchange(mTcp, mUdp, timeoutMs, mProgramUdp))
    {
        return false;
    }
    mLastBeatMs = QDateTime::currentMSecsSinceEpoch();
    return true;
}

void cLinkingPeer::Beat()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - mLastBeatMs >= 1000)
    {
        mUdp.SendTo(Heartbeat(), mAddress.constData(), mProgramUdp);
        mLastBeatMs = now;
    }
}

bool cLinkingPeer::TakeAnswers(quint16 target, quint16 asker, sAnswers& answers)
{
    mTcp.Poll();
    bool found = false;
    quint16 destination = 0;
    quint16 source = 0;
    quint16 method = 0;
    QByteArray payload;
    while (TakeV1(mTcp.Received(), destination, source, method, payload))
    {
        if (destination == asker && source == 0)
        {
            found = true;
        }
        else if (destination == target && method == M_OBJECT_ADD_TO_DELETE_LIST)
        {
            ++answers.mMade[source];
        }
        else if (destination == target && method == M_REPLY_FAIL)
        {
            ++answers.mRefused[source];
        }
    }
    return found;
}

bool cLinkingPeer::Link(const std::vector<sParameter>& parameters, quint16 target, sAnswers& answers,
                        int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray requests;
    for (const sParameter& parameter : parameters)
    {
        const quint16 method = quint16(PARAMETER_BASE + parameter.mIndex);
        requests += V1(0, parameter.mHandle, target, M_OBJECT_ADD_TO_INFORM_LIST,
                       LinkRequest(target, method, method));
    }
    requests += V1(0, 0, ASKER, M_REG_FIND_OBJECT, QByteArray("No Such Object", 15));
    // Written as the program takes it, reading its answers meanwhile.
    int written = 0;
    while (written < requests.size())
    {
        const qint64 now = mTcp.SendSome(requests.mid(written, 65536));
        if (now < 0 || timer.elapsed() > timeoutMs)
        {
            return false;
        }
        written += int(now);
        if (TakeAnswers(target, ASKER, answers))
        {
            return true;
        }
        Beat();
        if (now == 0)
        {
            QThread::msleep(1);
        }
    }
    while (!TakeAnswers(target, ASKER, answers))
    {
        if (mTcp.PeerClosed() || timer.elapsed() > timeoutMs)
        {
            return false;
        }
        Beat();
        QThread::msleep(1);
    }
    return true;
}

bool cLinkingPeer::LinkRange(quint16 firstHandle, quint16 lastHandle, quint16 maxParameters, quint16 target,
                             sAnswers& answers, int timeoutMs)
{
    std::vector<sParameter> parameters;
    for (quint32 handle = firstHandle; handle <= lastHandle; ++handle)
    {
        for (quint16 index = 0; index < maxParameters; ++index)
        {
            parameters.push_back({quint16(handle), index});
        }
    }
    return Link(parameters, target, answers, timeoutMs);
}

std::vector<cLinkingPeer::sParameter> cLinkingPeer::Parameters(const sAnswers& answers)
{
    std::map<quint16, int> counts = answers.mMade;
    for (const auto& entry : answers.mRefused)
    {
        counts[entry.first] += entry.second;
    }
    std::vector<sParameter> parameters;
    for (const auto& entry : counts)
    {
        for (int index = 0; index < entry.second; ++index)
        {
            parameters.push_back({entry.first, quint16(index)});
        }
    }
    return parameters;
}

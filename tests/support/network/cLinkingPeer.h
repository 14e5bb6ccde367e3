#pragma once

#include "tests/support/network/cRawSocket.h"

#include <QByteArray>
#include <QtGlobal>

#include <map>
#include <vector>

// A peer unit that links parameters of the program's objects to a handle of its own and counts
// the program's answers: M_OBJECT_ADD_TO_DELETE_LIST for a link made, M_REPLY_FAIL for a link
// refused, each from the linked object to the target. Written from the wire protocol alone, on a
// raw socket; blocking. One thread at a time.
class cLinkingPeer
{
public:
    struct sParameter
    {
        quint16 mHandle;
        quint16 mIndex;
    };
    // Answers by the handle of the object that gave them.
    struct sAnswers
    {
        std::map<quint16, int> mMade;
        std::map<quint16, int> mRefused;

        int Made() const;
        int Refused() const;
    };

    // Connects to the framework port and completes the hello exchange; false when the program
    // does not answer within timeoutMs.
    bool Connect(const char* address, quint16 port = 51321, int timeoutMs = 10000);
    void Close() { mTcp.Close(); }

    // Asks for a link from each parameter (its method) to the same method of target, without
    // sync-up, then for a find of no object, and waits until that find is answered: the program
    // has then taken every request. Answers for target are added to answers. False on a time-out
    // or when the program closed the connection.
    bool Link(const std::vector<sParameter>& parameters, quint16 target, sAnswers& answers,
              int timeoutMs = 60000);
    // Link for parameters 0 to maxParameters - 1 of every handle from firstHandle to lastHandle:
    // the objects answer for the parameters they have.
    bool LinkRange(quint16 firstHandle, quint16 lastHandle, quint16 maxParameters, quint16 target,
                   sAnswers& answers, int timeoutMs = 60000);

    // The parameters an object has, from the answers of a LinkRange that asked for more than any
    // object has (answered, made or refused, for its first parameters).
    static std::vector<sParameter> Parameters(const sAnswers& answers);

private:
    // Reads what has arrived, counting answers for target; true once the find of asker is answered.
    bool TakeAnswers(quint16 target, quint16 asker, sAnswers& answers);
    void Beat();

    QByteArray mAddress;
    cRawSocket mTcp;
    cRawSocket mUdp;
    quint16 mProgramUdp = 0;
    qint64 mLastBeatMs = 0;
};

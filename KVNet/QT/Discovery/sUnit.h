#pragma once

#include <QHostAddress>
#include <QMetaType>
#include <QString>

// A unit seen on the network: its address, its name, the request text a finder sends to look
// for units of its type, and an additional text. Two records are the same unit when address,
// name and request text are equal.
struct sUnit
{
    QHostAddress mAddress;
    QString mName;
    QString mRequest;
    QString mAdditional;

    bool operator==(const sUnit& other) const
    {
        return mAddress == other.mAddress && mName == other.mName && mRequest == other.mRequest;
    }
    bool operator!=(const sUnit& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(sUnit)

#pragma once

// Independent Blowfish (OpenSSL) in ECB mode, for comparison with the program's cipher.

#include <QByteArray>

#ifdef CORVO_HAVE_OPENSSL_BLOWFISH
#include <openssl/blowfish.h>
#endif

inline bool ReferenceBlowfishAvailable()
{
#ifdef CORVO_HAVE_OPENSSL_BLOWFISH
    return true;
#else
    return false;
#endif
}

// Ciphers whole 8-byte blocks of `data` (its size must be a multiple of 8).
inline QByteArray ReferenceBlowfishEcb(const QByteArray& key, const QByteArray& data, bool encrypt)
{
    QByteArray result(data.size(), '\0');
#ifdef CORVO_HAVE_OPENSSL_BLOWFISH
    BF_KEY schedule;
    BF_set_key(&schedule, key.size(), reinterpret_cast<const unsigned char*>(key.constData()));
    for (int i = 0; i + 8 <= data.size(); i += 8)
    {
        BF_ecb_encrypt(reinterpret_cast<const unsigned char*>(data.constData() + i),
                       reinterpret_cast<unsigned char*>(result.data() + i), &schedule,
                       encrypt ? BF_ENCRYPT : BF_DECRYPT);
    }
#else
    Q_UNUSED(key);
    Q_UNUSED(encrypt);
#endif
    return result;
}

#include "CorvoGUI/Core/Saves/SavesFileInput.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nSavesFileInput
{

namespace
{

bool Refuse(const QString& path, const struct stat& status, qint64 maxSize)
{
    if (!S_ISREG(status.st_mode))
    {
        KV_REPORT_ERROR("Save file error: %s is not a regular file", qPrintable(path));
        return true;
    }
    if (status.st_size > maxSize)
    {
        KV_REPORT_ERROR("Save file error: %s is %lld bytes, more than a saves file of this model (%lld)",
                        qPrintable(path), static_cast<long long>(status.st_size),
                        static_cast<long long>(maxSize));
        return true;
    }
    return false;
}

// Reports why the path could not be opened and tells whether anything is there.
eSavesFailure OpenFailure(const QString& path, int error)
{
    KV_REPORT_ERROR("Failed to open Save Stream!");
    KV_REPORT_ERROR("%s: %s", qPrintable(path), std::strerror(error));
    return error == ENOENT || error == ENOTDIR ? SAVES_FAILURE_NOT_FOUND : SAVES_FAILURE_NOT_READ;
}

} // namespace

eSavesFailure ReadRegularFile(const QString& path, qint64 maxSize, QByteArray& bytes)
{
    bytes.clear();
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::stat(name.constData(), &status) != 0)
    {
        return OpenFailure(path, errno);
    }
    if (Refuse(path, status, maxSize))
    {
        return SAVES_FAILURE_NOT_A_SAVES_FILE;
    }
    // Not blocking: the path may name something else by now; the opened file is checked again.
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
    {
        return OpenFailure(path, errno);
    }
    if (::fstat(descriptor, &status) != 0)
    {
        const int error = errno;
        ::close(descriptor);
        return OpenFailure(path, error);
    }
    if (Refuse(path, status, maxSize))
    {
        ::close(descriptor);
        return SAVES_FAILURE_NOT_A_SAVES_FILE;
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
    {
        ::close(descriptor);
        KV_REPORT_ERROR("Failed to open Save Stream!");
        KV_REPORT_ERROR("%s: %s", qPrintable(path), qPrintable(file.errorString()));
        return SAVES_FAILURE_NOT_READ;
    }
    // One byte more than allowed tells a file that grew since it was checked.
    bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError)
    {
        KV_REPORT_ERROR("Could not read save file %s: %s", qPrintable(path), qPrintable(file.errorString()));
        bytes.clear();
        return SAVES_FAILURE_NOT_READ;
    }
    if (bytes.size() > maxSize)
    {
        KV_REPORT_ERROR("Save file error: %s grew beyond %lld bytes while it was read", qPrintable(path),
                        static_cast<long long>(maxSize));
        bytes.clear();
        return SAVES_FAILURE_NOT_A_SAVES_FILE;
    }
    return SAVES_FAILURE_NONE;
}

} // namespace nSavesFileInput

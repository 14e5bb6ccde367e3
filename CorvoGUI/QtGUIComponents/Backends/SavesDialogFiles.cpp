#include "CorvoGUI/QtGUIComponents/Backends/SavesDialogFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace nSavesDialogFiles
{

namespace
{

const QString SAVES_FILE_SUFFIX = QStringLiteral(".cfg");

// The typed text as a path: a file URL (pasted) becomes its local path.
QString TypedPath(const QString& typed)
{
    const QString text = typed.trimmed();
    return text.startsWith(QLatin1String("file:")) ? QUrl(text).toLocalFile() : text;
}

bool NamesAFolder(const QString& path, const QString& absolute)
{
    return path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator()) || QFileInfo(absolute).isDir();
}

} // namespace

QString StartFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString ChosenFile(const QString& picked, const QString& typed, const QString& folder, bool save)
{
    const QDir shown(folder);
    QString path;
    const QString typedPath = TypedPath(typed);
    if (!typedPath.isEmpty())
    {
        const QString absolute = QDir::cleanPath(shown.absoluteFilePath(typedPath));
        if (!NamesAFolder(typedPath, absolute))
        {
            path = absolute;
        }
    }
    if (path.isEmpty() && !picked.isEmpty())
    {
        path = QDir::cleanPath(shown.absoluteFilePath(picked));
    }
    if (path.isEmpty())
    {
        return QString();
    }
    if (save && QFileInfo(path).suffix().isEmpty())
    {
        path += SAVES_FILE_SUFFIX;
    }
    return path;
}

QString TypedFolder(const QString& typed, const QString& folder)
{
    const QString typedPath = TypedPath(typed);
    if (typedPath.isEmpty())
    {
        return QString();
    }
    const QString absolute = QDir::cleanPath(QDir(folder).absoluteFilePath(typedPath));
    return QFileInfo(absolute).isDir() && absolute != QDir::cleanPath(QDir(folder).absolutePath())
               ? absolute
               : QString();
}

} // namespace nSavesDialogFiles

#include "fuzz_input_file.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

QString FuzzInputFile::write(const std::uint8_t* data, std::size_t size)
{
    const QString path = m_dir.filePath(QStringLiteral("input"));
    QFile file(path);
    // A harness that cannot write its input would test nothing.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        std::abort();
    return path;
}

QString FuzzInputFile::freshDirectory(const QString& name)
{
    QDir directory(m_dir.filePath(name));
    if ((directory.exists() && !directory.removeRecursively()) || !QDir().mkpath(directory.path()))
        std::abort();
    return directory.path();
}

#pragma once

#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// The parsers that read files get the fuzzer's input as one, in a directory of the process
// that goes when it ends.
class FuzzInputFile
{
public:
    // The path of the file now holding the bytes; every call overwrites the same file.
    QString write(const std::uint8_t* data, std::size_t size);
    // A directory for what the parser writes, empty at each call.
    QString freshDirectory(const QString& name);

private:
    QTemporaryDir m_dir;
};

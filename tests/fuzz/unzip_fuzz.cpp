// Archives that come from the portal, extracted the way the documents are: an entry that would
// land outside the target directory fails the whole extraction, so nothing may ever be
// written beside it.
#include "fuzz/fuzz_input_file.h"

#include "tessel/exception.h"
#include "tessel/filefuncs.h"

#include <QDirIterator>

#include <cstdlib>

namespace {

bool isInside(const QString& path, const QString& directory) { return path.startsWith(directory + QLatin1Char('/')); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    const QFileInfo archive(input.write(data, size));
    // The target lies one level down, so that a way out of it stays inside the sandbox.
    const QString sandbox = QFileInfo(input.freshDirectory(QStringLiteral("sandbox"))).canonicalFilePath();
    const QString target = sandbox + QStringLiteral("/target");
    if (!QDir().mkpath(target))
        std::abort();
    try {
        for (const QFileInfo& file : tessel::utils::unzip(archive, target)) {
            if (!isInside(file.absoluteFilePath(), target))
                std::abort();
        }
    } catch (const tessel::utils::exception&) {
        // refused
    }
    QDirIterator written(sandbox, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (written.hasNext()) {
        const QString path = written.next();
        if (path != target && !isInside(path, target))
            std::abort();
    }
    return 0;
}

#include "temp_upload.h"

#include "rest/temp_storage.h"
#include "tessel/filefuncs.h"

QUuid addTempUpload(const QByteArray& bytes)
{
    const QSharedPointer<QTemporaryFile> file = tessel::utils::mkTemp(QStringLiteral("uploadTest"));
    file->write(bytes);
    file->flush();
    auto entry = std::make_shared<tessel::rest::TempEntry>();
    entry->file = QFileInfo(file->fileName());
    entry->owner = std::shared_ptr<void>(file.data(), [file](void*) {});
    return tessel::rest::TempStorage::instance()->add(entry);
}

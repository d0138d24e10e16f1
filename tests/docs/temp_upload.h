#pragma once

#include <QByteArray>
#include <QUuid>

// Puts a file with these bytes into the process-wide temporary storage, as an upload would.
QUuid addTempUpload(const QByteArray& bytes);

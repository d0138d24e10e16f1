#pragma once

#include <QString>
#include <QUuid>

namespace tessel {

// 36 lower-case hexadecimal characters, 8-4-4-4-12, no braces.
QString uuidToText(const QUuid& id);

// Braces are optional; text that is no UUID gives the null UUID.
QUuid uuidFromText(const QString& text);

} // namespace tessel

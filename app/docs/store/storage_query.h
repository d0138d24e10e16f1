#pragma once

#include <QString>
#include <QVector>

namespace tessel::docs {

// The query of a portal storage download: "?envelope=..&signs=..", then, when attachments are
// asked for, the given indices or all of them.
QString storageQuery(bool envelope, bool signs, bool attachments, const QVector<quint32>& indices);

} // namespace tessel::docs

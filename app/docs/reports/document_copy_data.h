#pragma once

#include "crypto/records/sign_info.h"

#include <QDate>
#include <QString>

namespace tessel::docs {

// What the copy of an incoming electronic document shows.
struct DocumentCopyData
{
    QString msgType;
    QString sender;
    QString recipient;
    QString outDocNum;
    QDate outDocDate;
    QString reqDocNum;              // of the document this one answers
    QDate reqDocDate;               // invalid when it answers none
    nxcrypto::SignInfoPtr signInfo; // null when no signature check was made
    QString taName;                 // empty without a transfer agent
};

} // namespace tessel::docs

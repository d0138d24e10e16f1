#pragma once

#include "docs/reports/document_copy_data.h"

#include <QDateTime>
#include <QJsonObject>

namespace tessel::rest {

// The portal's signature verification data of an incoming document, read for its copy.
// A missing key reads as empty text, 0 or an invalid date.
class SignVerificationData
{
public:
    explicit SignVerificationData(QJsonObject data);

    // The document's data; the signature check is the caller's (signInfo stays null).
    docs::DocumentCopyData documentCopyData() const;
    // The portal's sign states 1 and 2 mean that a check was made and should be shown.
    bool asksForSignCheck() const;
    // The time of the portal's check in local time; invalid when the portal gives none.
    QDateTime signCheckTime() const;

private:
    QString text(const char* key) const;
    QDate date(const char* key) const;

    QJsonObject m_data;
};

} // namespace tessel::rest

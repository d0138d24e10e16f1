#pragma once

#include <QJsonObject>
#include <QString>

#include <filesystem>

namespace standin {

// What a document's envelope says about it, as lists show it.
struct EnvelopeSummary
{
    QString number;    // doc_num
    QString date;      // doc_date, as written
    QString sender;    // the sender's name
    QString recipient; // the recipient's name
    QString type;      // the name of msg_subtype, else msg_schema_type
};

// Reads the envelope ("0") of a document directory; throws std::runtime_error naming the file
// when it cannot be read.
EnvelopeSummary envelopeSummary(const std::filesystem::path& document);

// The sign state the proxy recorded for a received document: 0 before any, else its newStateId.
int recordedSignStateId(const std::filesystem::path& document);

// What the portal tells about a received document, read from its envelope and the sign state
// the proxy recorded: msgType, sender, recipient, outDocNum, outDocDate, reqDocNum and reqDocDate
// (from doc_link, when there is one), taName (the party of type REG), signStateId and
// signCheckTime (the recorded state; 0 and absent before any).
QJsonObject signVerificationData(const std::filesystem::path& document);

} // namespace standin

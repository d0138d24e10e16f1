#pragma once

#include <QJsonObject>

#include <filesystem>

namespace standin {

// What the portal tells about a received document, read from its envelope and the sign state
// the proxy recorded: msgType, sender, recipient, outDocNum, outDocDate, reqDocNum and reqDocDate
// (from doc_link, when there is one), taName (the party of type REG), signStateId and
// signCheckTime (the recorded state; 0 and absent before any).
QJsonObject signVerificationData(const std::filesystem::path& document);

} // namespace standin

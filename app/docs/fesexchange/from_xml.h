#pragma once

#include "docs/fesexchange/document_transfer.h"

#include <QDomElement>
#include <QString>

// Each reads the record from the element it comes from; a malformed element throws
// tessel::utils::exception and leaves the record partly filled.
namespace tessel::docs::fesexchange {

void fromXml(const QDomElement& element, PartyT& record);
void fromXml(const QDomElement& element, AttachmentT& record);
void fromXml(const QDomElement& element, DocLinkT& record);
void fromXml(const QDomElement& element, TaInfoT& record);
void fromXml(const QDomElement& element, ExternalRefT& record);
void fromXml(const QDomElement& element, MsgT& record);
void fromXml(const QDomElement& element, TransferMsgT& record);
void fromXml(const QDomElement& element, DocumentTransfer& record);

// The envelope file at path, read whole or not at all.
DocumentTransfer readDocumentTransfer(const QString& path);

} // namespace tessel::docs::fesexchange

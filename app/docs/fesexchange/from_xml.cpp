#include "docs/fesexchange/from_xml.h"

#include "docs/fesexchange/xml_helpers.h"
#include "tessel/uuid_text.h"

namespace tessel::docs::fesexchange {
namespace {

// An optional child element read as a record when present.
template <class Record>
std::optional<Record> optionalRecord(const QDomElement& parent, const QString& name)
{
    const QDomElement child = xml::getChild(parent, name, false);
    if (child.isNull())
        return std::nullopt;
    Record record;
    fromXml(child, record);
    return record;
}

template <class Record>
Record requiredRecord(const QDomElement& parent, const QString& name)
{
    Record record;
    fromXml(xml::getChild(parent, name, true), record);
    return record;
}

} // namespace

void fromXml(const QDomElement& element, PartyT& record)
{
    // Read at the field's full width: party ids beyond 32 bits are not cut to 0.
    if (const std::optional<QString> id = xml::getOptText(element, QStringLiteral("id")))
        record.id = id->toLongLong();
    record.type_party = parsePartyTypeEt(xml::getChildText(element, QStringLiteral("type_party")));
    record.name = xml::getChildText(element, QStringLiteral("name"));
}

void fromXml(const QDomElement& element, AttachmentT& record)
{
    record.index = xml::getAttr(element, QStringLiteral("index")).toUInt();
    record.description = xml::getChildText(element, QStringLiteral("description"));
    record.file_name = xml::getOptText(element, QStringLiteral("file_name"));
    record.type = xml::getChildText(element, QStringLiteral("type"));
    record.hash = xml::getOptBase64(element, QStringLiteral("hash"));
    record.data_length = xml::getChildText(element, QStringLiteral("data_length")).toULongLong();
}

void fromXml(const QDomElement& element, DocLinkT& record)
{
    record.uid = uuidFromText(xml::getAttr(element, QStringLiteral("uid")));
    record.out_doc_num = xml::getChildText(element, QStringLiteral("out_doc_num"));
    record.out_doc_date = xml::getOptDate(element, QStringLiteral("out_doc_date"));
    record.in_doc_num = xml::getOptText(element, QStringLiteral("in_doc_num"));
    record.in_reg_date = xml::getOptDate(element, QStringLiteral("in_reg_date"));
}

void fromXml(const QDomElement& element, TaInfoT& record)
{
    record.doc_num = xml::getChildText(element, QStringLiteral("doc_num"));
    record.doc_date = xml::getOptDate(element, QStringLiteral("doc_date")).value_or(QDate());
    record.doc_type_code = xml::getOptText(element, QStringLiteral("doc_type_code"));
    record.doc_name = xml::getOptText(element, QStringLiteral("doc_name"));
}

void fromXml(const QDomElement& element, ExternalRefT& record)
{
    record.id = xml::getChildText(element, QStringLiteral("id")).toUInt();
    record.name = xml::getChildText(element, QStringLiteral("name"));
}

void fromXml(const QDomElement& element, MsgT& record)
{
    record.version = xml::getAttr(element, QStringLiteral("version"));
    record.uid = uuidFromText(xml::getAttr(element, QStringLiteral("uid")));
    record.sender = requiredRecord<PartyT>(element, QStringLiteral("sender"));
    record.recipient = requiredRecord<PartyT>(element, QStringLiteral("recipient"));
    record.attachments.clear();
    const QDomElement attachments = xml::getChild(element, QStringLiteral("attachments"), false);
    for (QDomElement attachment = attachments.firstChildElement(QStringLiteral("attachment")); !attachment.isNull();
         attachment = attachment.nextSiblingElement(QStringLiteral("attachment"))) {
        AttachmentT entry;
        fromXml(attachment, entry);
        record.attachments.append(entry);
    }
    record.signed_ = xml::getChildText(element, QStringLiteral("signed")) == QLatin1String("true");
}

void fromXml(const QDomElement& element, TransferMsgT& record)
{
    fromXml(element, static_cast<MsgT&>(record));
    record.doc_num = xml::getChildText(element, QStringLiteral("doc_num"));
    record.doc_date = xml::parseDate(xml::getChild(element, QStringLiteral("doc_date"), true));
    record.doc_link = optionalRecord<DocLinkT>(element, QStringLiteral("doc_link"));
}

void fromXml(const QDomElement& element, DocumentTransfer& record)
{
    fromXml(element, static_cast<TransferMsgT&>(record));
    record.ta_info = optionalRecord<TaInfoT>(element, QStringLiteral("ta_info"));
    record.msg_schema_type = parseMsgSchemaEt(xml::getChildText(element, QStringLiteral("msg_schema_type")));
    record.msg_tag = xml::getOptText(element, QStringLiteral("msg_tag"));
    record.msg_subtype = optionalRecord<ExternalRefT>(element, QStringLiteral("msg_subtype"));
    record.emitent = optionalRecord<ExternalRefT>(element, QStringLiteral("emitent"));
}

DocumentTransfer readDocumentTransfer(const QString& path)
{
    const QDomDocument document = xml::readDocument(path);
    DocumentTransfer record;
    fromXml(document.documentElement(), record);
    return record;
}

} // namespace tessel::docs::fesexchange

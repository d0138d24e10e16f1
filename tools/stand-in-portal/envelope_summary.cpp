#include "envelope_summary.h"

#include <QDomDocument>
#include <QFile>
#include <QJsonDocument>

#include <stdexcept>

namespace standin {

namespace {

QDomElement readEnvelope(const std::filesystem::path& path)
{
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the envelope " + path.string() + ": " + file.errorString().toStdString());
    QDomDocument document;
    QString error;
    if (!document.setContent(&file, false, &error))
        throw std::runtime_error("cannot read the envelope " + path.string() + ": " + error.toStdString());
    return document.documentElement();
}

QString childText(const QDomElement& parent, const QString& name)
{
    return parent.firstChildElement(name).text().trimmed();
}

EnvelopeSummary summaryOf(const QDomElement& envelope)
{
    const QDomElement subtype = envelope.firstChildElement("msg_subtype");
    return {
        childText(envelope, "doc_num"),
        childText(envelope, "doc_date"),
        childText(envelope.firstChildElement("sender"), "name"),
        childText(envelope.firstChildElement("recipient"), "name"),
        subtype.isNull() ? childText(envelope, "msg_schema_type") : childText(subtype, "name"),
    };
}

QString transferAgentName(const QDomElement& envelope)
{
    for (const QString& party : {QStringLiteral("sender"), QStringLiteral("recipient")}) {
        const QDomElement element = envelope.firstChildElement(party);
        if (childText(element, "type_party") == QLatin1String("REG"))
            return childText(element, "name");
    }
    return QString();
}

QJsonObject recordedSignState(const std::filesystem::path& document)
{
    QFile file(QString::fromStdString((document / "signState.json").string()));
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace

EnvelopeSummary envelopeSummary(const std::filesystem::path& document)
{
    return summaryOf(readEnvelope(document / "0"));
}

int recordedSignStateId(const std::filesystem::path& document)
{
    return recordedSignState(document).value("newStateId").toInt(0);
}

QJsonObject signVerificationData(const std::filesystem::path& document)
{
    const QDomElement envelope = readEnvelope(document / "0");
    const EnvelopeSummary summary = summaryOf(envelope);
    QJsonObject data{
        {"msgType", summary.type},     {"sender", summary.sender},   {"recipient", summary.recipient},
        {"outDocNum", summary.number}, {"outDocDate", summary.date}, {"taName", transferAgentName(envelope)},
    };
    const QDomElement link = envelope.firstChildElement("doc_link");
    if (!link.isNull() && !link.firstChildElement("out_doc_date").isNull()) {
        data["reqDocNum"] = childText(link, "out_doc_num");
        data["reqDocDate"] = childText(link, "out_doc_date");
    }
    const QJsonObject state = recordedSignState(document);
    data["signStateId"] = state.value("newStateId").toInt(0);
    if (state.contains("changeTime"))
        data["signCheckTime"] = state.value("changeTime");
    return data;
}

} // namespace standin

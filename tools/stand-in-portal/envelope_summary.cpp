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
    QDomDocument document;
    QString error;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file, false, &error))
        throw std::runtime_error("cannot read the envelope " + path.string() + ": " + error.toStdString());
    return document.documentElement();
}

QString childText(const QDomElement& parent, const QString& name)
{
    return parent.firstChildElement(name).text().trimmed();
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

QJsonObject signVerificationData(const std::filesystem::path& document)
{
    const QDomElement envelope = readEnvelope(document / "0");
    const QDomElement subtype = envelope.firstChildElement("msg_subtype");
    QJsonObject data{
        {"msgType", subtype.isNull() ? childText(envelope, "msg_schema_type") : childText(subtype, "name")},
        {"sender", childText(envelope.firstChildElement("sender"), "name")},
        {"recipient", childText(envelope.firstChildElement("recipient"), "name")},
        {"outDocNum", childText(envelope, "doc_num")},
        {"outDocDate", childText(envelope, "doc_date")},
        {"taName", transferAgentName(envelope)},
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

#include "docs/fesexchange/xml_helpers.h"

#include "tessel/exception.h"

#include <QFile>

namespace tessel::docs::xml {

QDomDocument readDocument(const QString& path)
{
    return readDocument(path, QStringLiteral("xml::readDocument(): Error opening \"%1\": %2"),
                        QStringLiteral("xml::readDocument(): Error parsing xml \"%1\": %2"));
}

QDomDocument readDocument(const QString& path, const QString& openingError, const QString& parsingError)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw utils::exception(openingError.arg(path, file.errorString()));
    QDomDocument document;
    QString error;
    if (!document.setContent(&file, false, &error))
        throw utils::exception(parsingError.arg(path, error));
    return document;
}

QDomElement getChild(const QDomElement& parent, const QString& name, bool required)
{
    const QDomElement child = parent.firstChildElement(name);
    if (child.isNull() && required)
        throw utils::exception(
            QStringLiteral("xml::getChild: Can't find child element \"%1\" in \"%2\"").arg(name, parent.nodeName()));
    return child;
}

QString getAttr(const QDomElement& element, const QString& name)
{
    if (!element.hasAttribute(name))
        throw utils::exception(
            QStringLiteral("xml::getAttr: Can't find attribute \"%1\" in \"%2\"").arg(name, element.nodeName()));
    return element.attribute(name);
}

QString getText(const QDomNode& node)
{
    if (node.isAttr())
        return node.nodeValue();
    if (!node.isElement())
        throw utils::exception(QStringLiteral("xml::getText: Can't get text for node type %1").arg(node.nodeType()));
    QString text;
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isText() || child.isCDATASection())
            text += child.nodeValue().trimmed();
    }
    return text.trimmed();
}

QString getChildText(const QDomElement& parent, const QString& name) { return getText(getChild(parent, name, true)); }

QDate parseDate(const QDomElement& element)
{
    const QString text = getText(element);
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw utils::exception(QStringLiteral("xml::parseDate(): Error in date format: \"%1\"").arg(text));
    return date;
}

std::optional<QString> getOptText(const QDomElement& parent, const QString& name)
{
    const QDomElement child = getChild(parent, name, false);
    if (child.isNull())
        return std::nullopt;
    return getText(child);
}

std::optional<QDate> getOptDate(const QDomElement& parent, const QString& name)
{
    const QDomElement child = getChild(parent, name, false);
    if (child.isNull())
        return std::nullopt;
    return parseDate(child);
}

std::optional<QByteArray> getOptBase64(const QDomElement& parent, const QString& name)
{
    const std::optional<QString> text = getOptText(parent, name);
    if (!text)
        return std::nullopt;
    return QByteArray::fromBase64(text->toLatin1());
}

} // namespace tessel::docs::xml

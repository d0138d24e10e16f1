#pragma once

#include <QByteArray>
#include <QDate>
#include <QDomDocument>
#include <QDomElement>
#include <QString>

#include <optional>

// Every failure here throws tessel::utils::exception.
namespace tessel::docs::xml {

// Parsed without namespace processing, so names must carry no prefix.
QDomDocument readDocument(const QString& path);
// The same with the caller's messages: %1 the path, %2 the reason.
QDomDocument readDocument(const QString& path, const QString& openingError, const QString& parsingError);

// A null element when there is none and the child is not required.
QDomElement getChild(const QDomElement& parent, const QString& name, bool required);
QString getAttr(const QDomElement& element, const QString& name);

// An attribute's value, or the trimmed direct text children of an element joined;
// text inside nested elements does not count.
QString getText(const QDomNode& node);
// The text of a required child element.
QString getChildText(const QDomElement& parent, const QString& name);

// ISO 8601; a text that gives no valid date is an error.
QDate parseDate(const QDomElement& element);

std::optional<QString> getOptText(const QDomElement& parent, const QString& name);
std::optional<QDate> getOptDate(const QDomElement& parent, const QString& name);
// Characters outside the Base64 alphabet are skipped.
std::optional<QByteArray> getOptBase64(const QDomElement& parent, const QString& name);

} // namespace tessel::docs::xml

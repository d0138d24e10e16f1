#include "document_page.h"

#include "document_page_script.h"

#include <QDate>

#include <utility>

namespace standin {

namespace {

using Action = std::pair<QString, QString>; // data-action, button label

const char* const kStyle =
    "body{font-family:sans-serif;margin:1em 2em}table{border-collapse:collapse;margin:.5em 0}"
    "th,td{border:1px solid #bbb;padding:.3em .6em;text-align:left;vertical-align:top}th{background:#eee}"
    "td.actions{white-space:nowrap}td.error,#message{color:#a00}ul{margin:.2em 0}";

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

// Envelope dates are ISO dates; anything else is shown as written.
QString displayDate(const QString& text)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() ? date.toString("dd.MM.yyyy") : text;
}

QString signStateText(int signStateId)
{
    switch (signStateId) {
    case 0:
        return QStringLiteral("не проверялись");
    case 1:
        return QStringLiteral("подтверждены");
    case 2:
        return QStringLiteral("не подтверждены");
    default:
        return QString::number(signStateId);
    }
}

QString cell(const QString& text) { return QStringLiteral("<td>%1</td>").arg(escaped(text)); }

QString documentRow(const QString& kind, const ListedDocument& document, bool withSignState,
                    const std::vector<Action>& actions)
{
    const QString id = QString::fromStdString(document.id);
    const QString number = document.error.isEmpty() ? document.summary.number : id;
    QString cells;
    if (document.error.isEmpty()) {
        const EnvelopeSummary& summary = document.summary;
        cells = cell(summary.number) + cell(displayDate(summary.date)) + cell(summary.sender) + cell(summary.recipient)
            + cell(summary.type);
        if (withSignState)
            cells += cell(signStateText(document.signStateId));
    } else {
        cells = QStringLiteral("<td class=\"error\" colspan=\"%1\">Конверт документа %2 не читается: %3</td>")
                    .arg(withSignState ? 6 : 5)
                    .arg(escaped(id), escaped(document.error));
    }
    QString buttons;
    for (const Action& action : actions)
        buttons +=
            QStringLiteral("<button type=\"button\" data-action=\"%1\">%2</button> ").arg(action.first, action.second);
    return QStringLiteral(
               "<tr data-kind=\"%1\" data-id=\"%2\" data-number=\"%3\">%4<td class=\"actions\">%5</td></tr>\n")
        .arg(kind, escaped(id), escaped(number), cells, buttons.trimmed());
}

QString documentSection(const QString& kind, const QString& title, const QString& emptyText,
                        const std::vector<ListedDocument>& documents, bool withSignState,
                        const std::vector<Action>& actions)
{
    QString section = QStringLiteral("<section id=\"%1\">\n<h2>%2</h2>\n").arg(kind, title);
    if (documents.empty())
        return section + QStringLiteral("<p class=\"empty\">%1</p>\n</section>\n").arg(emptyText);
    section += QStringLiteral("<table>\n<thead><tr><th>Номер</th><th>Дата</th><th>Отправитель</th><th>Получатель</th>"
                              "<th>Вид документа</th>%1<th></th></tr></thead>\n<tbody>\n")
                   .arg(withSignState ? QStringLiteral("<th>Подписи</th>") : QString());
    for (const ListedDocument& document : documents)
        section += documentRow(kind, document, withSignState, actions);
    return section + QStringLiteral("</tbody>\n</table>\n</section>\n");
}

QString documentsOf(const DocumentLists& lists)
{
    const Action attachments{"attachments", "Вложения"};
    return QStringLiteral("<div id=\"documents\">\n")
        + documentSection("drafts", "Черновики", "Черновиков нет.", lists.drafts, false,
                          {{"send", "Подписать и отправить"}, {"delete", "Удалить"}})
        + documentSection("inbox", "Входящие документы", "Входящих документов нет.", lists.inbox, true,
                          {{"receive", "Получить и проверить"}, attachments})
        + documentSection("outbox", "Отправленные документы", "Отправленных документов нет.", lists.outbox, false,
                          {attachments})
        + QStringLiteral("</div>\n");
}

const char* const kProcessesAndDialog =
    "<section id=\"processes\">\n<h2>Фоновые операции</h2>\n"
    "<table hidden>\n<thead><tr><th>Операция</th><th>Этап</th><th>Состояние</th><th>Ошибка</th></tr></thead>\n"
    "<tbody></tbody>\n</table>\n<p class=\"summary\"></p>\n"
    "<button type=\"button\" id=\"clear-processes\">Очистить</button>\n</section>\n"
    "<dialog id=\"send-dialog\">\n<form method=\"dialog\">\n"
    "<p>Подписать и отправить черновик № <span class=\"number\"></span></p>\n"
    "<p><label>Пароль ключа <input type=\"password\" name=\"pwd\" autocomplete=\"off\"></label></p>\n"
    "<p><button value=\"send\">Отправить</button> <button value=\"cancel\" formnovalidate>Отмена</button></p>\n"
    "</form>\n</dialog>\n";

} // namespace

std::string documentPageHtml(const std::string& clientSubject, const DocumentLists& lists)
{
    QString body;
    if (clientSubject.empty()) {
        body = QStringLiteral("<p id=\"user\" class=\"anonymous\">No client certificate</p>\n"
                              "<p>Документы доступны после входа с сертификатом клиента.</p>\n");
    } else {
        body =
            QStringLiteral("<p id=\"user\">Signed in as %1</p>\n").arg(escaped(QString::fromStdString(clientSubject)))
            + QStringLiteral("<p id=\"message\" role=\"alert\" hidden></p>\n") + documentsOf(lists)
            + QString::fromUtf8(kProcessesAndDialog)
            + QStringLiteral("<script>\n%1</script>\n").arg(QString::fromUtf8(documentPageScript()));
    }
    const QString page =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"ru\">\n<head><meta charset=\"utf-8\">"
                       "<title>Портал Велмар: документы</title><link rel=\"icon\" href=\"data:,\">"
                       "<style>%1</style></head>\n<body>\n<h1>Портал Велмар</h1>\n%2</body>\n</html>\n")
            .arg(QString::fromUtf8(kStyle), body);
    return page.toStdString();
}

} // namespace standin

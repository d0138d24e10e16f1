#include "document_page_script.h"

#include <QFile>

#include <stdexcept>

// A resource in a static library is linked in only when something calls its registration.
static void registerDocumentPageResource() { Q_INIT_RESOURCE(document_page); }

namespace standin {

const QByteArray& documentPageScript()
{
    static const QByteArray script = [] {
        registerDocumentPageResource();
        QFile file(QStringLiteral(":/stand-in-portal/document_page.js"));
        if (!file.open(QIODevice::ReadOnly))
            throw std::logic_error("the document page script is not compiled in");
        return file.readAll();
    }();
    return script;
}

} // namespace standin

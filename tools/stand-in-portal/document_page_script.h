#pragma once

#include <QByteArray>

namespace standin {

// The document page's inline script (document_page.js, compiled in as a resource): the actions
// on documents through the proxy's REST API and the list of the proxy's background processes.
const QByteArray& documentPageScript();

} // namespace standin

#pragma once

#include "document_listing.h"

#include <string>

namespace standin {

// The portal's page, as the real portal's web client shows it: the signed-in user and, for a
// user with a client certificate, the drafts, incoming and sent documents with their actions
// and the proxy's background processes. The actions reach the proxy's REST API on the same
// origin. clientSubject is empty when the client presented no certificate.
std::string documentPageHtml(const std::string& clientSubject, const DocumentLists& lists);

} // namespace standin

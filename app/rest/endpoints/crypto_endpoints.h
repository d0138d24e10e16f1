#pragma once

#include "http/route.h"

namespace tessel::rest {

// The key: choose, unlock, show its certificate.
bool setKeyPassword(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
bool listKeys(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
bool keyCertificate(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

// The certificate stores: list, preview an uploaded file, add, chain, delete.
bool listCertificates(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
bool certificateFromBlob(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
bool addCertificate(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
bool certificateChain(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
bool deleteCertificate(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);

} // namespace tessel::rest

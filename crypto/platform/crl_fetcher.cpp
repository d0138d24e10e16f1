#include "crypto/platform/crl_fetcher.h"

#include "crypto/platform/asn1_util_p.h"

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/Timespan.h>
#include <Poco/URI.h>

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <ctime>
#include <istream>
#include <map>
#include <mutex>

namespace nxcrypto {
namespace csp {

namespace {

// A CRL larger than this is no CRL we want to hold in memory.
constexpr size_t maxCrlSize = 32 * 1024 * 1024;

struct CachedCrl
{
    X509CrlPtr crl;
    int64_t nextUpdate = 0;
};

std::mutex cacheMutex;
std::map<std::string, CachedCrl>& cache()
{
    static std::map<std::string, CachedCrl> entries;
    return entries;
}

X509CrlPtr parseCrl(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* cursor = data;
    X509CrlPtr crl(d2i_X509_CRL(nullptr, &cursor, static_cast<long>(bytes.size())));
    if (!crl) {
        BioPtr bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
        crl.reset(PEM_read_bio_X509_CRL(bio.get(), nullptr, nullptr, nullptr));
    }
    ERR_clear_error();
    return crl;
}

X509CrlPtr download(const std::string& url, uint32_t timeoutMs)
{
    try {
        const Poco::URI uri(url);
        if (uri.getScheme() != "http")
            return nullptr;
        Poco::Net::HTTPClientSession session(uri.getHost(), uri.getPort());
        const Poco::Timespan timeout(static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000));
        session.setTimeout(timeout, timeout, timeout);
        Poco::Net::HTTPRequest request(Poco::Net::HTTPRequest::HTTP_GET, uri.getPathAndQuery(),
                                       Poco::Net::HTTPMessage::HTTP_1_1);
        session.sendRequest(request);
        Poco::Net::HTTPResponse response;
        std::istream& body = session.receiveResponse(response);
        if (response.getStatus() != Poco::Net::HTTPResponse::HTTP_OK)
            return nullptr;
        std::string bytes;
        char buffer[16384];
        while (body.read(buffer, sizeof buffer) || body.gcount() > 0) {
            bytes.append(buffer, static_cast<size_t>(body.gcount()));
            if (bytes.size() > maxCrlSize)
                return nullptr;
        }
        return parseCrl(bytes);
    } catch (const Poco::Exception&) {
        return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace

std::vector<std::string> crlDistributionUrls(X509* certificate)
{
    std::vector<std::string> urls;
    auto* points = static_cast<STACK_OF(DIST_POINT)*>(
        X509_get_ext_d2i(certificate, NID_crl_distribution_points, nullptr, nullptr));
    if (!points)
        return urls;
    for (int i = 0; i < sk_DIST_POINT_num(points); ++i) {
        const DIST_POINT* point = sk_DIST_POINT_value(points, i);
        if (!point->distpoint || point->distpoint->type != 0)
            continue;
        const GENERAL_NAMES* names = point->distpoint->name.fullname;
        for (int j = 0; j < sk_GENERAL_NAME_num(names); ++j) {
            const GENERAL_NAME* name = sk_GENERAL_NAME_value(names, j);
            if (name->type != GEN_URI)
                continue;
            const ASN1_IA5STRING* uri = name->d.uniformResourceIdentifier;
            const std::string text(reinterpret_cast<const char*>(ASN1_STRING_get0_data(uri)),
                                   static_cast<size_t>(ASN1_STRING_length(uri)));
            if (text.compare(0, 7, "http://") == 0)
                urls.push_back(text);
        }
    }
    sk_DIST_POINT_pop_free(points, DIST_POINT_free);
    return urls;
}

X509CrlPtr fetchCrl(const std::string& url, uint32_t timeoutMs)
{
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        const auto it = cache().find(url);
        if (it != cache().end() && it->second.nextUpdate > now) {
            X509_CRL_up_ref(it->second.crl.get());
            return X509CrlPtr(it->second.crl.get());
        }
    }
    X509CrlPtr crl = download(url, timeoutMs);
    if (!crl)
        return nullptr;
    const int64_t nextUpdate = asn1TimeOrZero(X509_CRL_get0_nextUpdate(crl.get()));
    if (nextUpdate > now) {
        std::lock_guard<std::mutex> lock(cacheMutex);
        X509_CRL_up_ref(crl.get());
        cache()[url] = CachedCrl{X509CrlPtr(crl.get()), nextUpdate};
    }
    return crl;
}

} // namespace csp
} // namespace nxcrypto

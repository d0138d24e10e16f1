#include "admin_common.h"
#include "commands.h"
#include "file_objects.h"

#include "crypto/platform/cert_context.h"
#include "crypto/platform/cert_store.h"
#include "crypto/platform/crl_context.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/hex_text.h"
#include "crypto/platform/last_error.h"

#include <iostream>

namespace nxcsp_admin {

using namespace nxcrypto::csp;

namespace {

// Closes the store when the command ends, however it ends.
class OpenStore
{
public:
    explicit OpenStore(const std::string& name) : store_(openSystemStore(name))
    {
        if (!store_)
            failWithLastError("cannot open store \"" + name + "\"");
    }
    ~OpenStore() { closeStore(store_); }
    OpenStore(const OpenStore&) = delete;
    OpenStore& operator=(const OpenStore&) = delete;
    CertStore* get() const { return store_; }

private:
    CertStore* store_;
};

std::string certificateLine(const CertContext* certificate)
{
    const std::vector<uint8_t> serial = certSerialNumber(certificate);
    return "certificate " + thumbprintText(certSha1Thumbprint(certificate)) + "  "
        + nameText(certSubjectName(certificate)) + "\n    issuer: " + nameText(certIssuerName(certificate))
        + "\n    serial: " + hexText(serial.data(), serial.size(), true)
        + "  valid: " + utcText(certNotBefore(certificate)) + " .. " + utcText(certNotAfter(certificate));
}

std::string crlLine(const CrlContext* crl)
{
    const int64_t next = crlNextUpdate(crl);
    return "crl " + thumbprintText(crlSha1Thumbprint(crl)) + "  " + nameText(crlIssuerName(crl)) + "\n    this update: "
        + utcText(crlThisUpdate(crl)) + "  next update: " + (next ? utcText(next) : std::string("none"));
}

void listStore(const std::string& name)
{
    OpenStore store(name);
    CertContext* certificate = nullptr;
    while ((certificate = enumCertificatesInStore(store.get(), certificate)) != nullptr)
        std::cout << certificateLine(certificate) << '\n';
    CrlContext* crl = nullptr;
    while ((crl = enumCrlsInStore(store.get(), crl)) != nullptr)
        std::cout << crlLine(crl) << '\n';
}

void addToStore(const std::string& name, const std::vector<std::string>& files)
{
    OpenStore store(name);
    for (const std::string& file : files) {
        std::vector<uint8_t> bytes = readWholeFile(file);
        try {
            const FileObjects objects(bytes);
            for (const CertContext* certificate : objects.certificates()) {
                if (!addCertificateToStore(store.get(), certificate, kStoreAddReplaceExisting))
                    failWithLastError("cannot add a certificate of " + file);
                std::cout << "added " << certificateLine(certificate) << '\n';
            }
            for (const CrlContext* crl : objects.crls()) {
                if (!addCrlToStore(store.get(), crl, kStoreAddReplaceExisting))
                    failWithLastError("cannot add a CRL of " + file);
                std::cout << "added " << crlLine(crl) << '\n';
            }
        } catch (const CommandError& error) {
            throw CommandError{file + ": " + error.message};
        }
    }
}

std::vector<uint8_t> thumbprintBytes(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c != ':' && c != ' ')
            digits += c;
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        const int high = hexDigitValue(digits[i]);
        const int low = hexDigitValue(digits[i + 1]);
        if (high < 0 || low < 0)
            break;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    if (digits.size() != 40 || bytes.size() != 20)
        throw UsageError{"\"" + text + "\" is no SHA-1 thumbprint (40 hexadecimal digits)"};
    return bytes;
}

void removeFromStore(const std::string& name, const std::string& thumbprint)
{
    const std::vector<uint8_t> sha1 = thumbprintBytes(thumbprint);
    OpenStore store(name);
    CertFindCriteria criteria;
    criteria.type = kFindSha1Hash;
    criteria.sha1 = sha1;
    if (CertContext* certificate = findCertificateInStore(store.get(), criteria, nullptr)) {
        const std::string line = certificateLine(certificate);
        if (!deleteCertificateFromStore(certificate))
            failWithLastError("cannot remove the certificate");
        std::cout << "removed " << line << '\n';
        return;
    }
    CrlContext* crl = nullptr;
    while ((crl = enumCrlsInStore(store.get(), crl)) != nullptr) {
        if (crlSha1Thumbprint(crl) != sha1)
            continue;
        const std::string line = crlLine(crl);
        if (!deleteCrlFromStore(crl))
            failWithLastError("cannot remove the CRL");
        std::cout << "removed " << line << '\n';
        return;
    }
    throw CommandError{"store \"" + name + "\" holds no certificate or CRL with thumbprint " + thumbprint};
}

} // namespace

void runStoreCommand(const std::vector<std::string>& words)
{
    if (words.empty())
        throw UsageError{"store needs a subcommand: list, add or remove"};
    const std::string subcommand = words.front();
    const Arguments arguments = parseArguments(std::vector<std::string>(words.begin() + 1, words.end()), {}, {});
    const std::vector<std::string>& positional = arguments.positional;
    if (positional.empty() || positional.front().empty())
        throw UsageError{"store " + subcommand + " needs a STORE name"};
    if (subcommand == "list" && positional.size() == 1)
        listStore(positional[0]);
    else if (subcommand == "add" && positional.size() >= 2)
        addToStore(positional[0], std::vector<std::string>(positional.begin() + 1, positional.end()));
    else if (subcommand == "remove" && positional.size() == 2)
        removeFromStore(positional[0], positional[1]);
    else if (subcommand == "list" || subcommand == "add" || subcommand == "remove")
        throw UsageError{"wrong arguments for store " + subcommand};
    else
        throw UsageError{"unknown store subcommand \"" + subcommand + "\""};
}

} // namespace nxcsp_admin

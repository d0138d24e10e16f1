#include "admin_common.h"
#include "commands.h"
#include "file_objects.h"
#include "secret_source.h"
#include "secret_text.h"

#include "crypto/platform/cert_context.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/key_container.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/pkcs12_import.h"

#include <openssl/crypto.h>

#include <iostream>

namespace nxcsp_admin {

using namespace nxcrypto::csp;

namespace {

uint32_t flagsFor(const Arguments& arguments) { return arguments.has("--machine") ? kMachineKeyset : 0; }

std::string onlyName(const Arguments& arguments, const std::string& command)
{
    if (arguments.positional.size() != 1)
        throw UsageError{"container " + command + " takes one container NAME"};
    if (arguments.positional.front().empty())
        throw UsageError{"the container NAME is empty"};
    return arguments.positional.front();
}

// "signature" / "exchange" and the subject of each key pair's certificate.
std::string describeContainer(const std::string& name, uint32_t flags)
{
    Provider* provider = acquireContext(name, std::string(), kProvGost2012, flags);
    if (!provider)
        return std::string();
    std::string text;
    for (uint32_t keySpec : {kAtSignature, kAtKeyExchange}) {
        Key* key = getUserKey(provider, keySpec);
        if (!key)
            continue;
        std::string subject = "(no certificate)";
        std::vector<uint8_t> der;
        if (getKeyCertificate(key, &der)) {
            if (CertContext* certificate = createCertificateContext(der.data(), der.size())) {
                subject = nameText(certSubjectName(certificate));
                freeCertificateContext(certificate);
            }
        }
        text +=
            std::string(text.empty() ? "" : "\t") + (keySpec == kAtSignature ? "signature: " : "exchange: ") + subject;
        destroyKey(key);
    }
    releaseContext(provider);
    return text;
}

void listContainers(const Arguments& arguments)
{
    if (!arguments.positional.empty())
        throw UsageError{"container list takes no NAME"};
    const uint32_t flags = flagsFor(arguments);
    Provider* provider = acquireContext(std::string(), std::string(), kProvGost2012, kVerifyContext | flags);
    if (!provider)
        failWithLastError("cannot open the key set");
    std::vector<std::string> names;
    const bool listed = getContainerNames(provider, &names);
    releaseContext(provider);
    if (!listed)
        failWithLastError("cannot list the containers");
    for (const std::string& name : names)
        std::cout << name << '\t' << describeContainer(name, flags) << '\n';
}

// The PIN that protects the key in the container; none when nothing gives one.
void readNewPin(const Arguments& arguments, SecretText* pin)
{
    readSecret(arguments, {"PIN for the key in the container (empty: none): ", "--pin-file", "--pin", true}, pin);
}

void reportImport(uint32_t keySpec, const std::string& name, const SecretText& pin)
{
    std::cout << "imported " << (keySpec == kAtSignature ? "signature" : "exchange") << " key into container \"" << name
              << "\"" << (pin.empty() ? " without PIN" : " with PIN") << '\n';
}

void importFromPem(const Arguments& arguments, const std::string& name, uint32_t keySpec)
{
    std::vector<uint8_t> keyBytes = readWholeFile(arguments.values.at("--key"));
    std::vector<uint8_t> certificate = readWholeFile(arguments.values.at("--cert"));
    // The certificate may be PEM or DER; the container keeps DER.
    {
        const FileObjects objects(certificate);
        if (objects.certificates().size() != 1)
            throw CommandError{arguments.values.at("--cert") + " must hold exactly one certificate"};
        certificate = certEncoded(objects.certificates().front());
    }
    SecretText pin;
    readNewPin(arguments, &pin);
    std::string keyPem(keyBytes.begin(), keyBytes.end());
    OPENSSL_cleanse(keyBytes.data(), keyBytes.size());
    const bool imported =
        importContainerKey(name, arguments.has("--machine"), keySpec, keyPem, certificate, pin.text());
    OPENSSL_cleanse(&keyPem[0], keyPem.size());
    if (!imported)
        failWithLastError("cannot import the key into container \"" + name + "\"");
    reportImport(keySpec, name, pin);
}

[[noreturn]] void failPkcs12Import(const std::string& file, const std::string& name)
{
    switch (getLastError()) {
    case err::kCryptEBadEncode:
        throw CommandError{file + " is no PKCS#12 file, or it is damaged"};
    case err::kInvalidPassword:
        throw CommandError{"wrong password for " + file};
    case err::kNteNoKey:
        throw CommandError{file + " holds no private key"};
    case err::kNteBadAlgId:
        throw CommandError{"the key in " + file + " is no GOST R 34.10-2001 or 2012 key"};
    case err::kScardENoSuchCertificate:
        throw CommandError{file + " holds no certificate of its key"};
    default:
        failWithLastError("cannot import " + file + " into container \"" + name + "\"");
    }
}

void importFromPkcs12(const Arguments& arguments, const std::string& name, uint32_t keySpec)
{
    const std::string file = arguments.values.at("--pfx");
    std::vector<uint8_t> pfx = readWholeFile(file);
    SecretText password;
    if (!readSecret(arguments, {"Password of " + file + ": ", "--pfx-password-file", std::string(), false}, &password))
        throw UsageError{"the password of " + file
                         + " is asked on a terminal; without one give --pfx-password-file FILE (or - for standard "
                           "input)"};
    SecretText pin;
    readNewPin(arguments, &pin);
    const std::string caStore = arguments.values.count("--ca-store") ? arguments.values.at("--ca-store") : "ROOT";
    size_t authorities = 0;
    const bool imported = importPkcs12Key(name, arguments.has("--machine"), keySpec, pfx, password.text(), pin.text(),
                                          caStore, &authorities);
    OPENSSL_cleanse(pfx.data(), pfx.size());
    if (!imported)
        failPkcs12Import(file, name);
    reportImport(keySpec, name, pin);
    if (authorities > 0)
        std::cout << "added " << authorities << " certification authority certificate(s) of " << file << " to store \""
                  << caStore << "\"\n";
}

void importContainer(const Arguments& arguments)
{
    const std::string name = onlyName(arguments, "import");
    const bool fromPkcs12 = arguments.values.count("--pfx") > 0;
    const bool fromPem = arguments.values.count("--key") || arguments.values.count("--cert");
    if (fromPkcs12 && fromPem)
        throw UsageError{"container import takes --pfx or --key with --cert, not both"};
    if (!fromPkcs12 && (!arguments.values.count("--key") || !arguments.values.count("--cert")))
        throw UsageError{"container import needs --key KEY.pem and --cert CERT.pem, or --pfx FILE.pfx"};
    if (!fromPkcs12 && (arguments.values.count("--pfx-password-file") || arguments.values.count("--ca-store")))
        throw UsageError{"--pfx-password-file and --ca-store go with --pfx"};
    const uint32_t keySpec = arguments.has("--exchange") ? kAtKeyExchange : kAtSignature;
    if (fromPkcs12)
        importFromPkcs12(arguments, name, keySpec);
    else
        importFromPem(arguments, name, keySpec);
}

void changePin(const Arguments& arguments)
{
    const std::string name = onlyName(arguments, "passwd");
    SecretText oldPin;
    SecretText newPin;
    if (!readSecret(arguments, {"Current PIN (empty: none): ", "--old-pin-file", "--old", false}, &oldPin)
        || !readSecret(arguments, {"New PIN (empty: none): ", "--new-pin-file", "--new", true}, &newPin))
        throw UsageError{"container passwd needs the current and the new PIN: typed on a terminal, or "
                         "--old-pin-file and --new-pin-file (FILE, or - for standard input)"};
    if (!changeContainerPin(name, arguments.has("--machine"), oldPin.text(), newPin.text()))
        failWithLastError("cannot change the PIN of container \"" + name + "\"");
    std::cout << (newPin.empty() ? "removed the PIN of container \"" : "changed the PIN of container \"") << name
              << "\"\n";
}

void removeContainer(const Arguments& arguments)
{
    const std::string name = onlyName(arguments, "delete");
    if (!deleteContainer(name, arguments.has("--machine")))
        failWithLastError("cannot delete container \"" + name + "\"");
    std::cout << "deleted container \"" << name << "\"\n";
}

} // namespace

void runContainerCommand(const std::vector<std::string>& words)
{
    if (words.empty())
        throw UsageError{"container needs a subcommand: list, import, passwd or delete"};
    const std::string subcommand = words.front();
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (subcommand == "list")
        listContainers(parseArguments(rest, {}, {"--machine"}));
    else if (subcommand == "import")
        importContainer(
            parseArguments(rest,
                           {"--key", "--cert", "--pfx", "--pfx-password-file", "--ca-store", "--pin", "--pin-file"},
                           {"--exchange", "--machine"}));
    else if (subcommand == "passwd")
        changePin(parseArguments(rest, {"--old", "--new", "--old-pin-file", "--new-pin-file"}, {"--machine"}));
    else if (subcommand == "delete")
        removeContainer(parseArguments(rest, {}, {"--machine"}));
    else
        throw UsageError{"unknown container subcommand \"" + subcommand + "\""};
}

} // namespace nxcsp_admin

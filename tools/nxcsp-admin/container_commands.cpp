#include "admin_common.h"
#include "commands.h"
#include "file_objects.h"

#include "crypto/platform/cert_context.h"
#include "crypto/platform/key_container.h"

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

void importContainer(const Arguments& arguments)
{
    const std::string name = onlyName(arguments, "import");
    if (!arguments.values.count("--key") || !arguments.values.count("--cert"))
        throw UsageError{"container import needs --key KEY.pem and --cert CERT.pem"};
    const std::vector<uint8_t> keyBytes = readWholeFile(arguments.values.at("--key"));
    std::vector<uint8_t> certificate = readWholeFile(arguments.values.at("--cert"));
    // The certificate may be PEM or DER; the container keeps DER.
    {
        const FileObjects objects(certificate);
        if (objects.certificates().size() != 1)
            throw CommandError{arguments.values.at("--cert") + " must hold exactly one certificate"};
        certificate = certEncoded(objects.certificates().front());
    }
    const uint32_t keySpec = arguments.has("--exchange") ? kAtKeyExchange : kAtSignature;
    const std::string pin = arguments.values.count("--pin") ? arguments.values.at("--pin") : std::string();
    const std::string keyPem(keyBytes.begin(), keyBytes.end());
    if (!importContainerKey(name, arguments.has("--machine"), keySpec, keyPem, certificate, pin))
        failWithLastError("cannot import the key into container \"" + name + "\"");
    std::cout << "imported " << (keySpec == kAtSignature ? "signature" : "exchange") << " key into container \"" << name
              << "\"" << (pin.empty() ? " without PIN" : " with PIN") << '\n';
}

void changePin(const Arguments& arguments)
{
    const std::string name = onlyName(arguments, "passwd");
    if (!arguments.values.count("--old") || !arguments.values.count("--new"))
        throw UsageError{"container passwd needs --old OLD and --new NEW (use --old \"\" for a key without PIN)"};
    if (!changeContainerPin(name, arguments.has("--machine"), arguments.values.at("--old"),
                            arguments.values.at("--new")))
        failWithLastError("cannot change the PIN of container \"" + name + "\"");
    std::cout << (arguments.values.at("--new").empty() ? "removed the PIN of container \""
                                                       : "changed the PIN of container \"")
              << name << "\"\n";
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
        importContainer(parseArguments(rest, {"--key", "--cert", "--pin"}, {"--exchange", "--machine"}));
    else if (subcommand == "passwd")
        changePin(parseArguments(rest, {"--old", "--new"}, {"--machine"}));
    else if (subcommand == "delete")
        removeContainer(parseArguments(rest, {}, {"--machine"}));
    else
        throw UsageError{"unknown container subcommand \"" + subcommand + "\""};
}

} // namespace nxcsp_admin

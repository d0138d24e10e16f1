#include "crypto/platform/key_container.h"

#include "crypto/platform/container_admin_p.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/key_file_p.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/provider_files.h"

#include <openssl/err.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace nxcrypto {
namespace csp {

namespace {

const uint32_t keySpecs[] = {kAtKeyExchange, kAtSignature};

bool exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

bool canStoreContainerKey(const std::string& container, bool machineKeyset, uint32_t keySpec)
{
    if (keyFileName(keySpec).empty())
        return fail(err::kNteBadKey);
    const std::string directory = containerDirectory(container, machineKeyset);
    if (directory.empty())
        return false;
    if (exists(directory + "/" + keyFileName(keySpec)))
        return fail(err::kNteExists);
    return true;
}

bool storeContainerKey(const std::string& container, bool machineKeyset, uint32_t keySpec, EVP_PKEY* key,
                       const CertData& certificate, const std::string& pin)
{
    if (!canStoreContainerKey(container, machineKeyset, keySpec))
        return false;
    if (X509_check_private_key(certificate.object.get(), key) != 1) {
        ERR_clear_error();
        return fail(err::kNteBadPublicKey);
    }
    const std::string directory = containerDirectory(container, machineKeyset);
    if (!makeDirectories(directory, 0700))
        return false;
    // The certificate first: a key file is what makes a container visible.
    if (!writeFileAtomic(directory + "/" + certificateFileName(keySpec), certificate.der, 0644))
        return false;
    return writeKeyFile(directory + "/" + keyFileName(keySpec), key, pin);
}

bool importContainerKey(const std::string& container, bool machineKeyset, uint32_t keySpec, const std::string& keyPem,
                        const std::vector<uint8_t>& certificateDer, const std::string& pin)
{
    if (!canStoreContainerKey(container, machineKeyset, keySpec))
        return false;
    EvpPkeyPtr key;
    if (!parsePrivateKeyPem(keyPem, &key))
        return false;
    auto certificate = parseCertData(certificateDer.data(), certificateDer.size());
    if (!certificate)
        return false;
    return storeContainerKey(container, machineKeyset, keySpec, key.get(), *certificate, pin);
}

bool changeContainerPin(const std::string& container, bool machineKeyset, const std::string& oldPin,
                        const std::string& newPin)
{
    const std::string directory = containerDirectory(container, machineKeyset);
    if (directory.empty())
        return false;
    // Open every key first, so that a wrong PIN changes nothing.
    std::vector<std::pair<std::string, EvpPkeyPtr>> keys;
    for (uint32_t keySpec : keySpecs) {
        const std::string path = directory + "/" + keyFileName(keySpec);
        if (!exists(path))
            continue;
        std::vector<uint8_t> pem;
        if (!readFile(path, &pem))
            return false;
        EvpPkeyPtr key;
        const bool encrypted = keyPemIsEncrypted(pem);
        OPENSSL_cleanse(pem.data(), pem.size());
        if (!readKeyFile(path, encrypted ? &oldPin : nullptr, &key)) {
            if (getLastError() == err::kScardWCardNotAuthenticated)
                setLastError(err::kScardWWrongChv);
            return false;
        }
        keys.emplace_back(path, std::move(key));
    }
    if (keys.empty())
        return fail(err::kNteBadKeyset);
    for (auto& entry : keys)
        if (!writeKeyFile(entry.first, entry.second.get(), newPin))
            return false;
    return true;
}

bool deleteContainer(const std::string& container, bool machineKeyset)
{
    const std::string directory = containerDirectory(container, machineKeyset);
    if (directory.empty())
        return false;
    bool found = false;
    for (uint32_t keySpec : keySpecs) {
        for (const std::string& name : {keyFileName(keySpec), certificateFileName(keySpec)}) {
            const std::string path = directory + "/" + name;
            if (!exists(path))
                continue;
            if (!removeFile(path))
                return false;
            found = true;
        }
    }
    if (!found)
        return fail(err::kNteBadKeyset);
    if (::rmdir(directory.c_str()) != 0 && errno != ENOENT)
        return fail(errorFromErrno(errno));
    return true;
}

} // namespace csp
} // namespace nxcrypto

#include "crypto/engine/csp_provider_wrappers.h"

#include "crypto/engine/certificate_describer.h"
#include "crypto/engine/csp_store_wrappers.h"
#include "crypto/errors/exception.h"
#include "crypto/errors/system_error_text.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"

namespace nxcrypto {

namespace {

bool isGostProviderType(quint32 type)
{
    return type == csp::kProvGost2001 || type == csp::kProvGost2012 || type == csp::kProvGost2012Strong;
}

// Sets the key-provider property of the certificate to the first container, among
// all GOST providers, whose key certificate describes the same certificate.
void bindToContainer(const csp::CertContext* certificate, bool machineKeyset, bool silent)
{
    const CertificateDescriptionPtr target = describeCertificate(certificate);
    quint32 index = 0;
    for (QString providerName = cryptEnumProviders(index); !providerName.isEmpty();
         providerName = cryptEnumProviders(index)) {
        csp::ProviderHandle verification =
            cryptAcquireContext(csp::kProvGost2001, machineKeyset, QString(), silent, providerName);
        for (const QString& container : cryptoGetContainers(verification.get())) {
            csp::ProviderHandle context =
                cryptAcquireContext(csp::kProvGost2001, machineKeyset, container, silent, providerName);
            csp::KeyHandle key = cryptoGetKey(context.get(), true);
            if (!key) {
                key.reset(csp::getUserKey(context.get(), csp::kAtSignature));
                if (!key && csp::getLastError() != csp::err::kNteNoKey)
                    throw Exception(QStringLiteral("cryptoGetKey(): Error %1").arg(lastErrorText()));
            }
            if (!key)
                continue;
            const csp::CertContextHandle own = cryptoGetKeyCert(key.get(), machineKeyset, silent, false);
            if (*describeCertificate(own.get()) != *target)
                continue;
            csp::KeyProvInfo info;
            info.containerName = container.toLocal8Bit().toStdString();
            info.providerName = providerName.toLocal8Bit().toStdString();
            info.providerType = csp::kProvGost2001;
            // The spec of the key that was found (a container may hold only a signature key).
            info.keySpec = csp::keySpecOf(key.get());
            csp::certSetKeyProvInfo(const_cast<csp::CertContext*>(certificate), &info);
            return;
        }
    }
}

} // namespace

csp::ProviderHandle cryptAcquireContext(quint32 providerType, bool machineKeyset, const QString& containerName,
                                        bool silent, const QString& providerName)
{
    quint32 flags = containerName.isEmpty() ? csp::kVerifyContext : 0;
    if (silent)
        flags |= csp::kSilent;
    if (machineKeyset)
        flags |= csp::kMachineKeyset;
    csp::Provider* provider = csp::acquireContext(containerName.toLocal8Bit().toStdString(),
                                                  providerName.toLocal8Bit().toStdString(), providerType, flags);
    if (!provider)
        throw Exception(QStringLiteral("cryptAcquireContext(%1): Error %2").arg(containerName, lastErrorText()));
    return csp::ProviderHandle(provider);
}

csp::KeyHandle cryptoGetKey(csp::Provider* provider, bool exchange)
{
    csp::Key* key = csp::getUserKey(provider, exchange ? csp::kAtKeyExchange : csp::kAtSignature);
    if (!key) {
        if (csp::getLastError() == csp::err::kNteNoKey)
            return csp::KeyHandle();
        throw Exception(QStringLiteral("cryptoGetKey(): Error %1").arg(lastErrorText()));
    }
    return csp::KeyHandle(key);
}

csp::CertContextHandle cryptoGetKeyCert(csp::Key* key, bool machineKeyset, bool silent, bool bind)
{
    std::vector<uint8_t> der;
    if (!csp::getKeyCertificate(key, &der) || !csp::checkCertificateEncoding(der.data(), der.size()))
        throw Exception(QStringLiteral("cryptoGetKeyCert(): Error %1").arg(lastErrorText()));
    csp::CertContextHandle certificate = certFromBlob(der);
    if (bind)
        bindToContainer(certificate.get(), machineKeyset, silent);
    return certificate;
}

QStringList cryptoGetContainers(csp::Provider* provider)
{
    std::vector<std::string> names;
    if (!csp::getContainerNames(provider, &names))
        throw Exception(QStringLiteral("cryptoGetContainers(): Error %1").arg(lastErrorText()));
    QStringList result;
    for (const std::string& name : names)
        result.append(QString::fromLocal8Bit(name.c_str()));
    return result;
}

QString cryptEnumProviders(quint32& index)
{
    for (;;) {
        quint32 type = 0;
        std::string name;
        if (!csp::enumProviders(index, &type, &name)) {
            const quint32 code = csp::getLastError();
            if (code == csp::err::kNoMoreItems)
                return QString();
            if (code != csp::err::kMoreData)
                throw Exception(QStringLiteral("cryptEnumProviders(): error #%1").arg(code));
        }
        ++index;
        if (isGostProviderType(type))
            return QString::fromLocal8Bit(name.c_str());
    }
}

} // namespace nxcrypto

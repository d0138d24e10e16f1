#pragma once

#include <QMetaType>
#include <QString>

namespace nxcrypto {

// State of the cryptographic check of one signature. Other values may occur.
enum class SignState : qint32 {
    NotDetermined = 0,
    Invalid = 1,
    Valid = 2,
};

// State of a signer's certificate. Other values may occur.
enum class CertificateState : qint32 {
    Valid = 0,
    NotDetermined = 1,
    UntrustedParty = 2, // signer is not among the trusted parties
    TrustedPartySuspended = 3,
    InvalidBlob = 4,
    TimeInvalid = 5, // expired or not yet valid
    KeyTimeInvalid = 6,
    PathNotTrusted = 7,
    DifferentCertificates = 8,
    CrlNotFound = 9,
    Revoked = 10,
    WrongUsage = 11,
};

enum class KeyStorageType : qint32 {
    None = 0,
    HD = 1,
    FLOPPY = 2,
    RUTOKEN = 3,
};

enum class PublicKeyAlgorithm : qint32 {
    None = 0,         // not a GOST key
    Gost2001 = 1,     // GOST R 34.10-2001
    Gost2012_256 = 2, // GOST R 34.10-2012, 256-bit key
    Gost2012_512 = 3, // GOST R 34.10-2012, 512-bit key
};

// Provider types of the GOST provider.
enum class ProviderType : quint32 {
    Gost2001 = 75,
    Gost2012_256 = 80,
    Gost2012_512 = 81,
};

// Hash algorithm identifiers.
enum class HashAlgorithm : quint32 {
    Gost94 = 0x801E,
    Gost2012_256 = 0x8021,
    Gost2012_512 = 0x8022,
};

// The Russian texts of the states (through the translation lookup);
// other values give the "unknown status" text with the value.
QString signStateText(SignState state);
QString certificateStateText(CertificateState state);

// "HD", "FLOPPY", "RUTOKEN" in any case; any other name gives None.
KeyStorageType keyStorageTypeFromName(const QString& name);

// OID lookups; an OID that is not in the table raises Exception
// "findEnumValue(): Unknown value %1", a value that is not, "findEnumValue(): Unknown key %1".
PublicKeyAlgorithm publicKeyAlgorithmFromOid(const QString& oid);
QString publicKeyAlgorithmOid(PublicKeyAlgorithm algorithm);
HashAlgorithm hashAlgorithmFromOid(const QString& oid);
QString hashAlgorithmOid(HashAlgorithm algorithm);

// Per algorithm; other values raise Exception.
ProviderType provider_type(PublicKeyAlgorithm algorithm);
HashAlgorithm hash_algorithm(PublicKeyAlgorithm algorithm);

} // namespace nxcrypto

Q_DECLARE_METATYPE(nxcrypto::SignState)
Q_DECLARE_METATYPE(nxcrypto::CertificateState)

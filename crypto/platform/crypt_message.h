#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// CMS messages (RFC 5652): decoding of SignedData (certificate bundles and detached
// signatures, with the detached content streamed through), and encoding of a
// detached SignedData with one signer, whose signed attributes are contentType,
// messageDigest and signingTime. Failures set the last error.
namespace nxcrypto {
namespace csp {

struct CryptMessage;
struct CertContext;
struct Provider;

constexpr uint32_t kMsgDetachedFlag = 0x4;

// Message types.
constexpr uint32_t kMsgAny = 0;
constexpr uint32_t kMsgData = 1;
constexpr uint32_t kMsgSigned = 2;
constexpr uint32_t kMsgEnveloped = 3;
constexpr uint32_t kMsgSignedAndEnveloped = 4;
constexpr uint32_t kMsgHashed = 5;

struct SignerEncodeInfo
{
    const CertContext* certificate = nullptr;
    Provider* provider = nullptr;
    uint32_t keySpec = 0;
    std::string hashOid;
};

struct SignedEncodeInfo
{
    SignerEncodeInfo signer;
    std::vector<std::vector<uint8_t>> certificates; // DER, put into the message
};

struct MessageAttribute
{
    std::string oid;
    std::vector<std::vector<uint8_t>> values; // DER of each value
};

struct MessageSignerInfo
{
    std::vector<uint8_t> issuerName;   // DER
    std::vector<uint8_t> serialNumber; // most significant first
    std::string hashOid;
    std::string signatureOid;
    std::vector<MessageAttribute> authenticatedAttributes;
    std::vector<MessageAttribute> unauthenticatedAttributes;
};

CryptMessage* msgOpenToDecode(uint32_t flags, uint32_t type);
CryptMessage* msgOpenToEncode(uint32_t flags, uint32_t type, const SignedEncodeInfo& info);
// Decoding: the encoded message, then (detached) the content; final marks the last
// piece of each. Encoding: the content, final at the end.
bool msgUpdate(CryptMessage* message, const uint8_t* data, size_t size, bool final);
// Encoding: the digest of the content, computed by the caller with the signer's
// digest; the message then takes no content and signs this digest, so that the
// data is read and hashed once. Before the final update.
bool msgSetContentDigest(CryptMessage* message, const std::vector<uint8_t>& digest);
// The encoded message (encoding, after the final update).
bool msgGetContent(CryptMessage* message, std::vector<uint8_t>* encoded);
bool msgGetCertCount(CryptMessage* message, uint32_t* count);
bool msgGetCert(CryptMessage* message, uint32_t index, std::vector<uint8_t>* der);
bool msgGetSignerCount(CryptMessage* message, uint32_t* count);
bool msgGetSignerInfo(CryptMessage* message, uint32_t index, MessageSignerInfo* info);
// Checks the signature of the signer that the certificate names (after the final
// content update): the signed messageDigest against the content's digest and the
// signature with the certificate's key. A mismatch fails with NTE_BAD_SIGNATURE, a
// certificate that names no signer with CRYPT_E_SIGNER_NOT_FOUND.
bool msgVerifySignature(CryptMessage* message, const CertContext* certificate);
bool msgClose(CryptMessage* message);

} // namespace csp
} // namespace nxcrypto

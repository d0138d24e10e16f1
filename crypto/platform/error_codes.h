#pragma once

#include <cstdint>

// Windows-compatible numeric error codes that the layer reports through its
// per-thread last error, so that the engine's messages and error texts read as
// on the platform the application was first written for.
namespace nxcrypto {
namespace csp {
namespace err {

constexpr uint32_t kSuccess = 0;                     // ERROR_SUCCESS
constexpr uint32_t kFileNotFound = 2;                // ERROR_FILE_NOT_FOUND
constexpr uint32_t kPathNotFound = 3;                // ERROR_PATH_NOT_FOUND
constexpr uint32_t kAccessDenied = 5;                // ERROR_ACCESS_DENIED
constexpr uint32_t kInvalidHandle = 6;               // ERROR_INVALID_HANDLE
constexpr uint32_t kNotEnoughMemory = 8;             // ERROR_NOT_ENOUGH_MEMORY
constexpr uint32_t kInvalidData = 13;                // ERROR_INVALID_DATA
constexpr uint32_t kWriteFault = 29;                 // ERROR_WRITE_FAULT
constexpr uint32_t kReadFault = 30;                  // ERROR_READ_FAULT
constexpr uint32_t kGenFailure = 31;                 // ERROR_GEN_FAILURE
constexpr uint32_t kFileExists = 80;                 // ERROR_FILE_EXISTS
constexpr uint32_t kInvalidPassword = 86;            // ERROR_INVALID_PASSWORD
constexpr uint32_t kInvalidParameter = 87;           // ERROR_INVALID_PARAMETER
constexpr uint32_t kDiskFull = 112;                  // ERROR_DISK_FULL
constexpr uint32_t kCallNotImplemented = 120;        // ERROR_CALL_NOT_IMPLEMENTED
constexpr uint32_t kInvalidName = 123;               // ERROR_INVALID_NAME
constexpr uint32_t kBusy = 170;                      // ERROR_BUSY
constexpr uint32_t kAlreadyExists = 183;             // ERROR_ALREADY_EXISTS
constexpr uint32_t kMoreData = 234;                  // ERROR_MORE_DATA
constexpr uint32_t kNoMoreItems = 259;               // ERROR_NO_MORE_ITEMS
constexpr uint32_t kTimeout = 1460;                  // ERROR_TIMEOUT
constexpr uint32_t kInternetTimeout = 12002;         // ERROR_INTERNET_TIMEOUT
constexpr uint32_t kInternetCannotConnect = 12029;   // ERROR_INTERNET_CANNOT_CONNECT
constexpr uint32_t kInternetNameNotResolved = 12007; // ERROR_INTERNET_NAME_NOT_RESOLVED

constexpr uint32_t kNotImpl = 0x80004001;       // E_NOTIMPL
constexpr uint32_t kUnexpected = 0x8000FFFF;    // E_UNEXPECTED
constexpr uint32_t kEAccessDenied = 0x80070005; // E_ACCESSDENIED
constexpr uint32_t kEInvalidArg = 0x80070057;   // E_INVALIDARG

constexpr uint32_t kNteBadUid = 0x80090001;          // NTE_BAD_UID
constexpr uint32_t kNteBadHash = 0x80090002;         // NTE_BAD_HASH
constexpr uint32_t kNteBadKey = 0x80090003;          // NTE_BAD_KEY
constexpr uint32_t kNteBadLen = 0x80090004;          // NTE_BAD_LEN
constexpr uint32_t kNteBadData = 0x80090005;         // NTE_BAD_DATA
constexpr uint32_t kNteBadSignature = 0x80090006;    // NTE_BAD_SIGNATURE
constexpr uint32_t kNteBadAlgId = 0x80090008;        // NTE_BAD_ALGID
constexpr uint32_t kNteBadFlags = 0x80090009;        // NTE_BAD_FLAGS
constexpr uint32_t kNteBadType = 0x8009000A;         // NTE_BAD_TYPE
constexpr uint32_t kNteBadKeyState = 0x8009000B;     // NTE_BAD_KEY_STATE
constexpr uint32_t kNteBadHashState = 0x8009000C;    // NTE_BAD_HASH_STATE
constexpr uint32_t kNteNoKey = 0x8009000D;           // NTE_NO_KEY
constexpr uint32_t kNteNoMemory = 0x8009000E;        // NTE_NO_MEMORY
constexpr uint32_t kNteExists = 0x8009000F;          // NTE_EXISTS
constexpr uint32_t kNtePerm = 0x80090010;            // NTE_PERM
constexpr uint32_t kNteBadProvType = 0x80090014;     // NTE_BAD_PROV_TYPE
constexpr uint32_t kNteBadKeyset = 0x80090016;       // NTE_BAD_KEYSET
constexpr uint32_t kNteProvTypeNotDef = 0x80090017;  // NTE_PROV_TYPE_NOT_DEF
constexpr uint32_t kNteKeysetNotDef = 0x80090019;    // NTE_KEYSET_NOT_DEF
constexpr uint32_t kNteProvTypeNoMatch = 0x8009001B; // NTE_PROV_TYPE_NO_MATCH
constexpr uint32_t kNteBadPublicKey = 0x80090015;    // NTE_BAD_PUBLIC_KEY
constexpr uint32_t kNteProviderDllFail = 0x8009001D; // NTE_PROVIDER_DLL_FAIL
constexpr uint32_t kNteBadKeysetParam = 0x8009001F;  // NTE_BAD_KEYSET_PARAM
constexpr uint32_t kNteFail = 0x80090020;            // NTE_FAIL
constexpr uint32_t kNteSilentContext = 0x80090022;   // NTE_SILENT_CONTEXT

constexpr uint32_t kCryptEMsgError = 0x80091001;           // CRYPT_E_MSG_ERROR
constexpr uint32_t kCryptEUnknownAlgo = 0x80091002;        // CRYPT_E_UNKNOWN_ALGO
constexpr uint32_t kCryptEInvalidMsgType = 0x80091004;     // CRYPT_E_INVALID_MSG_TYPE
constexpr uint32_t kCryptEUnexpectedEncoding = 0x80091005; // CRYPT_E_UNEXPECTED_ENCODING
constexpr uint32_t kCryptEAuthAttrMissing = 0x80091006;    // CRYPT_E_AUTH_ATTR_MISSING
constexpr uint32_t kCryptEHashValue = 0x80091007;          // CRYPT_E_HASH_VALUE
constexpr uint32_t kCryptEInvalidIndex = 0x80091008;       // CRYPT_E_INVALID_INDEX
constexpr uint32_t kCryptEAlreadyDecrypted = 0x80091009;   // CRYPT_E_ALREADY_DECRYPTED
constexpr uint32_t kCryptENotDecrypted = 0x8009100A;       // CRYPT_E_NOT_DECRYPTED
constexpr uint32_t kCryptEControlType = 0x8009100C;        // CRYPT_E_CONTROL_TYPE
constexpr uint32_t kCryptEIssuerSerialNumber = 0x8009100D; // CRYPT_E_ISSUER_SERIALNUMBER
constexpr uint32_t kCryptESignerNotFound = 0x8009100E;     // CRYPT_E_SIGNER_NOT_FOUND
constexpr uint32_t kCryptEStreamMsgNotReady = 0x80091010;  // CRYPT_E_STREAM_MSG_NOT_READY
constexpr uint32_t kCryptEBadEncode = 0x80092002;          // CRYPT_E_BAD_ENCODE
constexpr uint32_t kCryptEFileError = 0x80092003;          // CRYPT_E_FILE_ERROR
constexpr uint32_t kCryptENotFound = 0x80092004;           // CRYPT_E_NOT_FOUND
constexpr uint32_t kCryptEExists = 0x80092005;             // CRYPT_E_EXISTS
constexpr uint32_t kCryptENoProvider = 0x80092006;         // CRYPT_E_NO_PROVIDER
constexpr uint32_t kCryptEDeletedPrev = 0x80092008;        // CRYPT_E_DELETED_PREV
constexpr uint32_t kCryptENoMatch = 0x80092009;            // CRYPT_E_NO_MATCH
constexpr uint32_t kCryptENoKeyProperty = 0x8009200B;      // CRYPT_E_NO_KEY_PROPERTY
constexpr uint32_t kCryptEBadMsg = 0x8009200D;             // CRYPT_E_BAD_MSG
constexpr uint32_t kCryptENoRevocationDll = 0x80092011;    // CRYPT_E_NO_REVOCATION_DLL
constexpr uint32_t kCryptENoRevocationCheck = 0x80092012;  // CRYPT_E_NO_REVOCATION_CHECK
constexpr uint32_t kCryptERevocationOffline = 0x80092013;  // CRYPT_E_REVOCATION_OFFLINE
constexpr uint32_t kCryptEInvalidX500String = 0x80092023;  // CRYPT_E_INVALID_X500_STRING
constexpr uint32_t kCryptEAsn1Error = 0x80093100;          // CRYPT_E_ASN1_ERROR
constexpr uint32_t kCryptEAsn1Eod = 0x80093102;            // CRYPT_E_ASN1_EOD
constexpr uint32_t kCryptEAsn1Corrupt = 0x80093103;        // CRYPT_E_ASN1_CORRUPT
constexpr uint32_t kCryptEAsn1Large = 0x80093104;          // CRYPT_E_ASN1_LARGE
constexpr uint32_t kCryptEAsn1BadTag = 0x8009310B;         // CRYPT_E_ASN1_BADTAG

constexpr uint32_t kScardENoSuchCertificate = 0x8010002C;    // SCARD_E_NO_SUCH_CERTIFICATE
constexpr uint32_t kScardWWrongChv = 0x8010006B;             // SCARD_W_WRONG_CHV
constexpr uint32_t kScardWCardNotAuthenticated = 0x8010006F; // SCARD_W_CARD_NOT_AUTHENTICATED

} // namespace err
} // namespace csp
} // namespace nxcrypto

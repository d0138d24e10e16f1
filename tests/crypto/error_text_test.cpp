#include "crypto/errors/error_table.h"
#include "crypto/errors/system_error_text.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"

#include <gtest/gtest.h>

using nxcrypto::ErrorTable;
using nxcrypto::systemErrorText;

TEST(SystemErrorText, KnownCodesGiveCodeNameAndDescriptionLines)
{
    struct Case
    {
        uint32_t code;
        QString text;
    };
    const Case cases[] = {
        {5, QStringLiteral("Code: 5 (hex 0x00000005).\nName: ERROR_ACCESS_DENIED.\nDescription: Отказано в доступе.")},
        {0x80092004, QStringLiteral("Code: 2148081668 (hex 0x80092004).\nName: CRYPT_E_NOT_FOUND.")},
        {0x12345678, QStringLiteral("Code: 305419896 (hex 0x12345678).")},
        {0,
         QStringLiteral(
             "Code: 0 (hex 0x00000000).\nName: S_OK, DS_S_SUCCESS, SEC_E_OK, NTE_OP_OK, ERROR_SUCCESS, "
             "DNS_ERROR_RCODE_NO_ERROR, NO_ERROR, SCARD_S_SUCCESS.\nDescription: Операция успешно завершена.")},
        {1790,
         QStringLiteral(
             "Code: 1790 (hex 0x000006fe).\nName: ERROR_TRUST_FAILURE.\nDescription: Вход в сеть не произведен.")},
        {0x80092011, QStringLiteral("Code: 2148081681 (hex 0x80092011).\nName: CRYPT_E_NO_REVOCATION_DLL.")},
        {0x800B0101, QStringLiteral("Code: 2148204801 (hex 0x800b0101).\nName: CERT_E_EXPIRED.")},
        {2,
         QStringLiteral(
             "Code: 2 (hex 0x00000002).\nName: ERROR_FILE_NOT_FOUND.\nDescription: Не удается найти указанный файл.")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(systemErrorText(c.code), c.text) << c.code;
}

TEST(SystemErrorText, EveryCodeTheLayerReportsHasANameInTheTable)
{
    using namespace nxcrypto::csp::err;
    const uint32_t codes[] = {kFileNotFound,
                              kAccessDenied,
                              kInvalidParameter,
                              kNoMoreItems,
                              kMoreData,
                              kNteBadKeyset,
                              kNteNoKey,
                              kNteBadSignature,
                              kNteBadAlgId,
                              kNteProvTypeNotDef,
                              kNteKeysetNotDef,
                              kNteProvTypeNoMatch,
                              kNteBadPublicKey,
                              kNteExists,
                              kNteSilentContext,
                              kNteBadHashState,
                              kNteProviderDllFail,
                              kCryptENotFound,
                              kCryptEExists,
                              kCryptEAsn1BadTag,
                              kCryptEInvalidX500String,
                              kCryptESignerNotFound,
                              kCryptEAuthAttrMissing,
                              kCryptEUnknownAlgo,
                              kCryptEInvalidMsgType,
                              kCryptEStreamMsgNotReady,
                              kCryptEInvalidIndex,
                              kScardWWrongChv,
                              kScardWCardNotAuthenticated,
                              kScardENoSuchCertificate,
                              kEInvalidArg,
                              kEAccessDenied};
    for (uint32_t code : codes)
        EXPECT_NE(nxcrypto::systemErrorTable().find(code), nullptr) << std::hex << code;
}

TEST(SystemErrorText, LastErrorTextReadsTheThreadsLastError)
{
    nxcrypto::csp::setLastError(nxcrypto::csp::err::kScardWWrongChv);
    EXPECT_TRUE(nxcrypto::lastErrorText().contains(QStringLiteral("SCARD_W_WRONG_CHV")));
}

TEST(ErrorTable, AddingToAKnownCodeAppendsTheNameAndKeepsTheFirstDescription)
{
    ErrorTable table;
    table.addErrorText(7, "FIRST", nullptr);
    table.addErrorText(7, "SECOND", "описание");
    table.addErrorText(7, "THIRD", "другое");
    table.addErrorText(8, "ONLY", "");
    EXPECT_EQ(table.text(7),
              QStringLiteral("Code: 7 (hex 0x00000007).\nName: FIRST, SECOND, THIRD.\nDescription: описание."));
    EXPECT_EQ(table.text(8), QStringLiteral("Code: 8 (hex 0x00000008).\nName: ONLY."));
    EXPECT_EQ(table.size(), 2u);
}

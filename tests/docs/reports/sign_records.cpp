#include "sign_records.h"

using namespace nxcrypto;

CertificateDescriptionPtr certificateOf(const QString& subject)
{
    return CertificateDescriptionPtr::create(QStringLiteral("1234567890123456789"), QStringLiteral("112210F47DE98115"),
                                             subject, QStringLiteral("CN=Тестовый УЦ, O=ООО Удостоверение"),
                                             QDateTime(QDate(2021, 3, 1), QTime(9, 5, 7)),
                                             QDateTime(QDate(2031, 12, 31), QTime(23, 59, 0)),
                                             QStringLiteral("1.2.643.7.1.1.3.2"), QStringLiteral("1.2.643.7.1.1.1.1"));
}

DataSignInfoPtr signOf(SignState state, const CertificateDescriptionPtr& certificate, const QByteArray& digest)
{
    const DataSignInfoPtr sign = DataSignInfoPtr::create();
    sign->setSignState(state);
    sign->setCertificate(certificate);
    sign->setSigningTime(QDateTime(QDate(2026, 12, 3), QTime(14, 30, 0)));
    sign->setMessageDigest(digest);
    return sign;
}

SignInfoPtr checkOf(SignState state, CertificateState certificateState, const DataSignInfoList& signs,
                    const CertificateDescriptionPtr& certificate)
{
    const SignInfoPtr info = SignInfoPtr::create();
    info->setGlobalSignState(state);
    info->setCertificateState(certificateState);
    info->setSigns(signs);
    info->setCertificate(certificate);
    info->setCheckTime(QDateTime(QDate(2026, 12, 10), QTime(8, 0, 1)));
    return info;
}

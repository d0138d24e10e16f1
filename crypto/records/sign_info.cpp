#include "crypto/records/sign_info.h"

namespace nxcrypto {

struct SignInfo::Private
{
    QDateTime checkTime;
    DataSignInfoList signs;
    SignState globalSignState = SignState::NotDetermined;
    CertificateState certificateState = CertificateState::NotDetermined;
    CertificateDescriptionPtr certificate;
    QString techInfo;
};

SignInfo::SignInfo(QObject* parent) : QObject(parent), d(new Private) {}

SignInfo::~SignInfo() = default;

QDateTime SignInfo::checkTime() const { return d->checkTime; }
DataSignInfoList SignInfo::signs() const { return d->signs; }
SignState SignInfo::globalSignState() const { return d->globalSignState; }
CertificateState SignInfo::certificateState() const { return d->certificateState; }
CertificateDescriptionPtr SignInfo::certificate() const { return d->certificate; }
QString SignInfo::techInfo() const { return d->techInfo; }

void SignInfo::setCheckTime(const QDateTime& value) { d->checkTime = value; }
void SignInfo::setSigns(const DataSignInfoList& value) { d->signs = value; }
void SignInfo::setGlobalSignState(SignState value) { d->globalSignState = value; }
void SignInfo::setCertificateState(CertificateState value) { d->certificateState = value; }
void SignInfo::setCertificate(const CertificateDescriptionPtr& value) { d->certificate = value; }
void SignInfo::setTechInfo(const QString& value) { d->techInfo = value; }

} // namespace nxcrypto

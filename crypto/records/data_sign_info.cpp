#include "crypto/records/data_sign_info.h"

namespace nxcrypto {

struct DataSignInfo::Private
{
    SignState signState = SignState::NotDetermined;
    CertificateDescriptionPtr certificate;
    QDateTime signingTime;
    QByteArray messageDigest;
    std::exception_ptr exception;
};

namespace {
const int registeredList = qRegisterMetaType<DataSignInfoList>("nxcrypto::DataSignInfoList");
}

DataSignInfo::DataSignInfo(QObject* parent) : QObject(parent), d(new Private) { Q_UNUSED(registeredList); }

DataSignInfo::~DataSignInfo() = default;

SignState DataSignInfo::signState() const { return d->signState; }
CertificateDescriptionPtr DataSignInfo::certificate() const { return d->certificate; }
QDateTime DataSignInfo::signingTime() const { return d->signingTime; }
QByteArray DataSignInfo::messageDigest() const { return d->messageDigest; }
std::exception_ptr DataSignInfo::exception() const { return d->exception; }

void DataSignInfo::setSignState(SignState value) { d->signState = value; }
void DataSignInfo::setCertificate(const CertificateDescriptionPtr& value) { d->certificate = value; }
void DataSignInfo::setSigningTime(const QDateTime& value) { d->signingTime = value; }
void DataSignInfo::setMessageDigest(const QByteArray& value) { d->messageDigest = value; }
void DataSignInfo::setException(std::exception_ptr value) { d->exception = value; }

} // namespace nxcrypto

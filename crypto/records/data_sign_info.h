#pragma once

#include "crypto/records/certificate_description.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSharedPointer>

#include <exception>
#include <memory>

namespace nxcrypto {

// The check of one data block against its signature.
class DataSignInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(nxcrypto::SignState signState READ signState WRITE setSignState)
    Q_PROPERTY(nxcrypto::CertificateDescriptionPtr certificate READ certificate WRITE setCertificate)
    Q_PROPERTY(QDateTime signingTime READ signingTime WRITE setSigningTime)
    Q_PROPERTY(QByteArray messageDigest READ messageDigest WRITE setMessageDigest)

public:
    explicit DataSignInfo(QObject* parent = nullptr);
    ~DataSignInfo() override;

    SignState signState() const;
    CertificateDescriptionPtr certificate() const;
    QDateTime signingTime() const;
    QByteArray messageDigest() const;
    // The error that ended the check early, if any.
    std::exception_ptr exception() const;

public slots:
    void setSignState(nxcrypto::SignState value);
    void setCertificate(const nxcrypto::CertificateDescriptionPtr& value);
    void setSigningTime(const QDateTime& value);
    void setMessageDigest(const QByteArray& value);
    void setException(std::exception_ptr value);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

using DataSignInfoPtr = QSharedPointer<DataSignInfo>;
using DataSignInfoList = QList<QSharedPointer<DataSignInfo>>;

} // namespace nxcrypto

Q_DECLARE_METATYPE(nxcrypto::DataSignInfoList)

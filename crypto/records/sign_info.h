#pragma once

#include "crypto/records/data_sign_info.h"

#include <QDateTime>
#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <memory>

namespace nxcrypto {

// The check of a document: every data block, the signer's certificate and its state.
class SignInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QDateTime checkTime READ checkTime WRITE setCheckTime)
    Q_PROPERTY(nxcrypto::DataSignInfoList signs READ signs WRITE setSigns)
    Q_PROPERTY(nxcrypto::SignState globalSignState READ globalSignState WRITE setGlobalSignState)
    Q_PROPERTY(nxcrypto::CertificateState certificateState READ certificateState WRITE setCertificateState)
    Q_PROPERTY(nxcrypto::CertificateDescriptionPtr certificate READ certificate WRITE setCertificate)
    Q_PROPERTY(QString techInfo READ techInfo WRITE setTechInfo)

public:
    explicit SignInfo(QObject* parent = nullptr);
    ~SignInfo() override;

    QDateTime checkTime() const;
    DataSignInfoList signs() const;
    SignState globalSignState() const;
    CertificateState certificateState() const;
    CertificateDescriptionPtr certificate() const;
    QString techInfo() const;

public slots:
    void setCheckTime(const QDateTime& value);
    void setSigns(const nxcrypto::DataSignInfoList& value);
    void setGlobalSignState(nxcrypto::SignState value);
    void setCertificateState(nxcrypto::CertificateState value);
    void setCertificate(const nxcrypto::CertificateDescriptionPtr& value);
    void setTechInfo(const QString& value);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

using SignInfoPtr = QSharedPointer<SignInfo>;

} // namespace nxcrypto

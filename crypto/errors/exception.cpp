#include "crypto/errors/exception.h"

namespace nxcrypto {

Exception::Exception(const QString& message) : message_(message.toUtf8()) {}

Exception::Exception(const QString& message, const Exception& reason)
    : message_(QStringLiteral("%1.\nReason: %2").arg(message, reason.message()).toUtf8()),
      reason_(new Exception(reason))
{}

Exception::Exception(const Exception& other)
    : std::exception(other), message_(other.message_), reason_(other.reason_ ? new Exception(*other.reason_) : nullptr)
{}

Exception& Exception::operator=(const Exception& other)
{
    if (this != &other) {
        message_ = other.message_;
        reason_.reset(other.reason_ ? new Exception(*other.reason_) : nullptr);
    }
    return *this;
}

Exception::~Exception() = default;

const char* Exception::what() const noexcept { return message_.constData(); }

QString Exception::message() const { return QString::fromUtf8(message_); }

const Exception* Exception::reason() const { return reason_.get(); }

ClientAuthNeeded::ClientAuthNeeded() : Exception(QStringLiteral("Client auth needed")) {}

} // namespace nxcrypto

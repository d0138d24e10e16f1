#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <memory>

namespace nxcrypto {

// The crypto library's error: a UTF-8 message, optionally with the error that caused it.
class Exception : public std::exception
{
public:
    explicit Exception(const QString& message);
    // The message becomes "<message>.\nReason: <reason's message>".
    Exception(const QString& message, const Exception& reason);
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    ~Exception() override;

    const char* what() const noexcept override;
    QString message() const;
    // The cause given at construction, or null.
    const Exception* reason() const;

private:
    QByteArray message_;
    std::unique_ptr<Exception> reason_;
};

// A key's password that the key refused.
class WrongPassword : public Exception
{
public:
    using Exception::Exception;
};

// A certificate blob with more certificates than anyone trusts at once.
class BlobTooLarge : public Exception
{
public:
    using Exception::Exception;
};

// Raised while a TLS handshake asks for the client certificate before the key's
// password has been given.
class ClientAuthNeeded : public Exception
{
public:
    ClientAuthNeeded();
};

} // namespace nxcrypto

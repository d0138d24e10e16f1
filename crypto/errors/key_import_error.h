#pragma once

#include "crypto/errors/exception.h"

namespace nxcrypto {

// Why a key file was refused.
enum class KeyImportProblem {
    NotPkcs12,        // no PKCS#12 that can be read
    WrongPassword,    // the password does not open it
    NoKey,            // it holds no private key
    NotGostKey,       // its key is of another algorithm
    NoKeyCertificate, // it holds no certificate of its key
    ContainerExists,  // the container has a key already
};

// A key file refused by the import, which then has written nothing.
class KeyImportError : public Exception
{
public:
    KeyImportError(KeyImportProblem problem, const QString& message);
    KeyImportProblem problem() const { return problem_; }

private:
    KeyImportProblem problem_;
};

} // namespace nxcrypto

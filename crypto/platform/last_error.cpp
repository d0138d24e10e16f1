#include "crypto/platform/last_error.h"

#include "crypto/platform/error_codes.h"

#include <cerrno>

namespace nxcrypto {
namespace csp {

namespace {
thread_local uint32_t lastError = err::kSuccess;
}

uint32_t getLastError() { return lastError; }

void setLastError(uint32_t code) { lastError = code; }

uint32_t errorFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return err::kFileNotFound;
    case ENOTDIR:
        return err::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return err::kAccessDenied;
    case ENOMEM:
        return err::kNotEnoughMemory;
    case EEXIST:
        return err::kAlreadyExists;
    case ENOSPC:
    case EDQUOT:
        return err::kDiskFull;
    case ENAMETOOLONG:
        return err::kInvalidName;
    case EINVAL:
        return err::kInvalidParameter;
    case EBUSY:
        return err::kBusy;
    case EIO:
        return err::kGenFailure;
    default:
        return err::kGenFailure;
    }
}

} // namespace csp
} // namespace nxcrypto

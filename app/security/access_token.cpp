#include "security/access_token.h"

#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <optional>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tessel::security {
namespace {

constexpr int tokenBytes = 32;
const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
const QFileDevice::Permissions groupOrOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                               | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

bool isToken(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32,}$"));
    return hex.match(text).hasMatch();
}

QString randomToken()
{
    quint32 words[tokenBytes / sizeof(quint32)];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray bytes(reinterpret_cast<const char*>(words), sizeof words);
    return QString::fromLatin1(bytes.toHex());
}

[[noreturn]] void fail(const QString& what, const QString& fileName)
{
    const QString message =
        QStringLiteral("%1 the access token file \"%2\": %3").arg(what, fileName, QString::fromLocal8Bit(std::strerror(errno)));
    LOG_ERROR << message;
    throw utils::exception(message);
}

// Empty when the file is not there; what it holds otherwise.
std::optional<QString> readToken(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Another user must not read the key to the user's signature.
    if (file.permissions() & groupOrOthers) {
        LOG_WARN << QStringLiteral("The access token file \"%1\" was readable by others; it is now the owner's only")
                        .arg(fileName);
        file.setPermissions(ownerOnly);
    }
    return QString::fromLatin1(file.read(1024)).trimmed();
}

// Writes the token to a file of its own (mode 0600 from the start), then puts that file in
// place: linked where there is none, so that a token another program made meanwhile stays, or
// renamed over one that holds no token.
void publish(const QString& fileName, const QString& token, bool replace)
{
    QByteArray scratch = QFile::encodeName(fileName + QStringLiteral(".XXXXXX"));
    const int descriptor = mkstemp(scratch.data());
    if (descriptor < 0)
        fail(QStringLiteral("Cannot make"), fileName);
    const QByteArray text = token.toLatin1() + '\n';
    const bool written = write(descriptor, text.constData(), size_t(text.size())) == text.size() && fsync(descriptor) == 0;
    close(descriptor);
    const QByteArray target = QFile::encodeName(fileName);
    const bool placed = written
                        && (replace ? rename(scratch.constData(), target.constData()) == 0
                                    : link(scratch.constData(), target.constData()) == 0 || errno == EEXIST);
    const int error = errno;
    unlink(scratch.constData());
    errno = error;
    if (!written)
        fail(QStringLiteral("Cannot write"), fileName);
    if (!placed)
        fail(QStringLiteral("Cannot make"), fileName);
}

} // namespace

QString AccessToken::loadOrCreate(const QString& fileName)
{
    const std::optional<QString> found = readToken(fileName);
    if (found && isToken(*found))
        return *found;
    if (found)
        LOG_WARN << QStringLiteral("The access token file \"%1\" holds no token; a new one replaces it").arg(fileName);
    publish(fileName, randomToken(), found.has_value());
    // What is on the disk now: this program's token, or the one another made at the same time.
    const std::optional<QString> token = readToken(fileName);
    if (!token || !isToken(*token))
        fail(QStringLiteral("Cannot read"), fileName);
    return *token;
}

} // namespace tessel::security

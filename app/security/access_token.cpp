#include "security/access_token.h"

#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
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

QString readToken(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // Another user must not read the key to the user's signature.
    if (file.permissions() & groupOrOthers) {
        LOG_WARN << QStringLiteral("The access token file \"%1\" was readable by others; it is now the owner's only")
                        .arg(fileName);
        file.setPermissions(ownerOnly);
    }
    return QString::fromLatin1(file.read(1024)).trimmed();
}

// Writes the token to a file of its own (mode 0600 from the start) and links it into place, which
// fails when a token is there already.
bool publish(const QString& fileName, const QString& token)
{
    QByteArray scratch = QFile::encodeName(fileName + QStringLiteral(".XXXXXX"));
    const int descriptor = mkstemp(scratch.data());
    if (descriptor < 0)
        fail(QStringLiteral("Cannot make"), fileName);
    const QByteArray text = token.toLatin1() + '\n';
    const bool written = write(descriptor, text.constData(), size_t(text.size())) == text.size() && fsync(descriptor) == 0;
    close(descriptor);
    const bool linked = written && link(scratch.constData(), QFile::encodeName(fileName).constData()) == 0;
    const int linkError = errno;
    unlink(scratch.constData());
    if (!written)
        fail(QStringLiteral("Cannot write"), fileName);
    if (!linked && linkError != EEXIST) {
        errno = linkError;
        fail(QStringLiteral("Cannot make"), fileName);
    }
    return linked;
}

} // namespace

QString AccessToken::loadOrCreate(const QString& fileName)
{
    QString token = readToken(fileName);
    if (isToken(token))
        return token;
    if (QFileInfo::exists(fileName)) {
        LOG_WARN << QStringLiteral("The access token file \"%1\" holds no token; a new one replaces it").arg(fileName);
        if (!QFile::remove(fileName))
            fail(QStringLiteral("Cannot replace"), fileName);
    }
    token = randomToken();
    if (publish(fileName, token))
        return token;
    token = readToken(fileName);
    if (!isToken(token))
        fail(QStringLiteral("Cannot read"), fileName);
    return token;
}

} // namespace tessel::security

#include "secret_text.h"

#include "admin_common.h"

#include <openssl/crypto.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace nxcsp_admin {

SecretText::SecretText() { m_text.reserve(maxSize); }

SecretText::~SecretText() { clear(); }

void SecretText::assign(const std::string& text, const std::string& source)
{
    clear();
    for (const char c : text)
        append(c, source);
}

bool SecretText::readLine(int fd, const std::string& source)
{
    clear();
    bool readAny = false;
    for (;;) {
        char c = 0;
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw CommandError{"cannot read " + source + ": " + std::strerror(errno)};
        if (got == 0 || c == '\n') {
            readAny = readAny || got > 0;
            break;
        }
        readAny = true;
        append(c, source);
    }
    // A line written on another system: the carriage return is no part of the secret.
    if (!m_text.empty() && m_text.back() == '\r')
        m_text.pop_back();
    return readAny;
}

void SecretText::clear()
{
    // Within the reserved capacity resize never reallocates, so this wipes the one buffer.
    m_text.resize(m_text.capacity());
    OPENSSL_cleanse(&m_text[0], m_text.size());
    m_text.clear();
}

void SecretText::append(char c, const std::string& source)
{
    if (m_text.size() >= maxSize) {
        clear();
        throw CommandError{"the secret of " + source + " is longer than " + std::to_string(maxSize) + " bytes"};
    }
    m_text.push_back(c);
}

} // namespace nxcsp_admin

#pragma once

#include <cstddef>
#include <string>

namespace nxcsp_admin {

// A PIN or a password: one buffer that never moves while it grows, wiped when the text goes.
class SecretText
{
public:
    static constexpr std::size_t maxSize = 4096;

    SecretText();
    ~SecretText();
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    // The value of a command-line option; a CommandError past maxSize.
    void assign(const std::string& text, const std::string& source);
    // The next line of fd up to its line end (not kept, nor a carriage return before it); false
    // when the input ends before a first byte. Reads byte by byte, so that the next line stays
    // for the next reader. A CommandError naming source past maxSize or on a read error.
    bool readLine(int fd, const std::string& source);
    void clear();

    const std::string& text() const { return m_text; }
    bool empty() const { return m_text.empty(); }
    bool operator==(const SecretText& other) const { return m_text == other.m_text; }

private:
    void append(char c, const std::string& source);

    std::string m_text;
};

} // namespace nxcsp_admin

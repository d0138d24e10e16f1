#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace crypto_test {

// A program run as from a terminal: a new pseudo-terminal is its controlling terminal and its
// standard input, output and error, and the test types on the terminal's keyboard.
class TerminalSession
{
public:
    explicit TerminalSession(const std::vector<std::string>& command);
    ~TerminalSession();
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Reads what the program writes until the transcript holds text; false after the timeout.
    bool waitFor(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    void type(const std::string& keys);
    // Whether the terminal echoes what is typed, as the program has left it.
    bool echoes() const;
    // The exit status (128 + signal), or -1 when it does not end within the timeout.
    int waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Everything the terminal showed: the program's output and the echo of what was typed.
    const std::string& transcript() const { return m_transcript; }

private:
    // False when nothing came within wait.
    bool readAvailable(std::chrono::milliseconds wait);

    int m_master = -1;
    int m_slave = -1;
    pid_t m_pid = -1;
    int m_status = -1;
    std::string m_transcript;
};

} // namespace crypto_test

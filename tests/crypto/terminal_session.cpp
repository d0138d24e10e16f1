#include "terminal_session.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace crypto_test {

TerminalSession::TerminalSession(const std::vector<std::string>& command)
{
    char slaveName[256] = {};
    if (openpty(&m_master, &m_slave, slaveName, nullptr, nullptr) != 0)
        throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid < 0)
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (m_pid == 0) {
        // Only async-signal-safe calls here: a new session whose controlling terminal the slave
        // becomes when it is opened.
        setsid();
        const int terminal = open(slaveName, O_RDWR);
        if (terminal < 0)
            _exit(126);
        dup2(terminal, STDIN_FILENO);
        dup2(terminal, STDOUT_FILENO);
        dup2(terminal, STDERR_FILENO);
        if (terminal > STDERR_FILENO)
            close(terminal);
        close(m_master);
        close(m_slave);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

TerminalSession::~TerminalSession()
{
    if (m_pid > 0 && m_status < 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    close(m_master);
    close(m_slave);
}

bool TerminalSession::readAvailable(std::chrono::milliseconds wait)
{
    pollfd ready{m_master, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(wait.count())) <= 0 || !(ready.revents & POLLIN))
        return false;
    char block[4096];
    const ssize_t got = read(m_master, block, sizeof block);
    if (got <= 0)
        return false;
    m_transcript.append(block, static_cast<size_t>(got));
    return true;
}

bool TerminalSession::waitFor(const std::string& text, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (m_transcript.find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        readAvailable(std::chrono::milliseconds(50));
    }
    return true;
}

void TerminalSession::type(const std::string& keys)
{
    if (write(m_master, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
        throw std::runtime_error(std::string("typing on the terminal: ") + std::strerror(errno));
}

bool TerminalSession::echoes() const
{
    termios settings{};
    if (tcgetattr(m_slave, &settings) != 0)
        throw std::runtime_error(std::string("tcgetattr: ") + std::strerror(errno));
    return (settings.c_lflag & ECHO) != 0;
}

int TerminalSession::waitForExit(std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (m_status < 0) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid)
            m_status = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
        else if (std::chrono::steady_clock::now() >= end)
            return -1;
        readAvailable(std::chrono::milliseconds(20));
    }
    // What it wrote last.
    while (readAvailable(std::chrono::milliseconds(0))) {
    }
    return m_status;
}

} // namespace crypto_test

#include "terminal_prompt.h"

#include "admin_common.h"
#include "secret_text.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <termios.h>
#include <unistd.h>

namespace nxcsp_admin {

namespace {

const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

struct termios savedSettings;
volatile sig_atomic_t echoIsOff = 0;

void restoreEchoAndDie(int signal)
{
    if (echoIsOff)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedSettings);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string systemError() { return std::strerror(errno); }

// Echo off for its lifetime. A signal that ends the program turns echo back on first, and the
// prompt cannot be suspended: a stopped program would leave the shell without echo.
class EchoOff
{
public:
    EchoOff()
    {
        if (tcgetattr(STDIN_FILENO, &savedSettings) != 0)
            throw CommandError{"cannot read the terminal's settings: " + systemError()};
        struct sigaction restore = {};
        restore.sa_handler = restoreEchoAndDie;
        for (size_t i = 0; i < std::size(endingSignals); ++i)
            sigaction(endingSignals[i], &restore, &m_previous[i]);
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGTSTP, &ignore, &m_previousStop);

        struct termios quiet = savedSettings;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        echoIsOff = 1;
        if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) != 0) {
            const std::string error = systemError();
            restoreSignals();
            throw CommandError{"cannot turn the terminal's echo off: " + error};
        }
    }

    ~EchoOff()
    {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedSettings);
        restoreSignals();
    }

    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    void restoreSignals()
    {
        echoIsOff = 0;
        for (size_t i = 0; i < std::size(endingSignals); ++i)
            sigaction(endingSignals[i], &m_previous[i], nullptr);
        sigaction(SIGTSTP, &m_previousStop, nullptr);
    }

    struct sigaction m_previous[std::size(endingSignals)];
    struct sigaction m_previousStop;
};

} // namespace

bool standardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

void askOnTerminal(const std::string& prompt, SecretText* answer)
{
    const EchoOff echoOff;
    if (write(STDERR_FILENO, prompt.data(), prompt.size()) < 0)
        throw CommandError{"cannot write the prompt: " + systemError()};
    if (!answer->readLine(STDIN_FILENO, "the terminal"))
        throw CommandError{"the terminal closed before the answer"};
}

} // namespace nxcsp_admin

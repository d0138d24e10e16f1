#pragma once

#include <csignal>
#include <stdexcept>
#include <sys/resource.h>

// Limits the size of files this process writes while it lives, standing in for a full disk:
// a write past the limit fails instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes) : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        rlimit limited{};
        if (getrlimit(RLIMIT_FSIZE, &m_previous) != 0)
            throw std::runtime_error("getrlimit failed");
        limited = m_previous;
        limited.rlim_cur = bytes;
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
            throw std::runtime_error("setrlimit failed");
    }

    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*m_previousHandler)(int);
    rlimit m_previous{};
};

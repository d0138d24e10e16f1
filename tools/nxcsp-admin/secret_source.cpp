#include "secret_source.h"

#include "admin_common.h"
#include "secret_text.h"
#include "terminal_prompt.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace nxcsp_admin {

namespace {

// Owns the descriptor of a secret's file.
class SecretFile
{
public:
    explicit SecretFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        if (m_fd < 0)
            throw CommandError{"cannot open " + path + ": " + std::strerror(errno)};
    }
    ~SecretFile() { ::close(m_fd); }
    SecretFile(const SecretFile&) = delete;
    SecretFile& operator=(const SecretFile&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

void readFromFile(const std::string& option, const std::string& path, SecretText* secret)
{
    if (path == "-") {
        if (!secret->readLine(STDIN_FILENO, "standard input"))
            throw CommandError{"standard input ended before the line of " + option};
        return;
    }
    const SecretFile file(path);
    if (!secret->readLine(file.fd(), path))
        throw CommandError{path + " is empty (" + option + ")"};
}

void askWithConfirmation(const SecretQuestion& question, SecretText* secret)
{
    askOnTerminal(question.prompt, secret);
    if (!question.confirm)
        return;
    SecretText again;
    askOnTerminal("Repeat: ", &again);
    if (!(again == *secret)) {
        secret->clear();
        throw CommandError{"the two entries differ"};
    }
}

} // namespace

bool readSecret(const Arguments& arguments, const SecretQuestion& question, SecretText* secret)
{
    const auto value = arguments.values.find(question.valueOption);
    const auto file = arguments.values.find(question.fileOption);
    const bool hasValue = !question.valueOption.empty() && value != arguments.values.end();
    if (hasValue && file != arguments.values.end())
        throw UsageError{"give " + question.valueOption + " or " + question.fileOption + ", not both"};
    if (hasValue) {
        // An empty value gives nothing away.
        if (!value->second.empty())
            std::cerr << "nxcsp-admin: warning: " << question.valueOption
                      << " puts the secret on the command line, where other processes can read it; use "
                      << question.fileOption << " or the prompt\n";
        secret->assign(value->second, question.valueOption);
        return true;
    }
    if (file != arguments.values.end()) {
        readFromFile(question.fileOption, file->second, secret);
        return true;
    }
    if (!standardInputIsTerminal())
        return false;
    askWithConfirmation(question, secret);
    return true;
}

} // namespace nxcsp_admin

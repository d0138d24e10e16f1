#include "diagnostics.h"

#include <iostream>
#include <mutex>

namespace standin {

void printDiagnostic(const std::string& line)
{
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    std::cerr << "stand-in-portal: " << line << std::endl;
}

} // namespace standin

#include "crypto/errors/system_error_text.h"

#include "crypto/errors/error_table.h"
#include "crypto/platform/last_error.h"

namespace nxcrypto {

void fillSystemErrorTable(ErrorTable& table);

const ErrorTable& systemErrorTable()
{
    static const ErrorTable table = [] {
        ErrorTable filled;
        fillSystemErrorTable(filled);
        return filled;
    }();
    return table;
}

QString systemErrorText(uint32_t code) { return systemErrorTable().text(code); }

QString lastErrorText() { return systemErrorText(csp::getLastError()); }

} // namespace nxcrypto

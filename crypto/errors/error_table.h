#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <map>

namespace nxcrypto {

// Symbolic names and descriptions of platform error codes, and the text that the
// engine's messages give for a code.
class ErrorTable
{
public:
    struct Entry
    {
        QList<QByteArray> names;
        QByteArray description; // UTF-8, may be empty
    };

    // A new code gets the entry; for a known code the name is appended, and the
    // description fills an empty one (a later description never replaces an earlier one).
    void addErrorText(uint32_t code, const char* name, const char* description);

    // "Code: %1 (hex 0x%2)." then, for a known code, "\nName: %1." with the names joined
    // by ", ", then "\nDescription: %1." when there is one.
    QString text(uint32_t code) const;

    const Entry* find(uint32_t code) const;
    size_t size() const { return entries_.size(); }

private:
    std::map<uint32_t, Entry> entries_;
};

} // namespace nxcrypto

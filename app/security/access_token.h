#pragma once

#include <QString>

namespace tessel::security {

// The secret that every request to the proxy must carry: a random text of 256 bits in a file
// that only its owner may read, made once and kept across restarts.
class AccessToken
{
public:
    // The token in fileName; a new one when there is none (or none that can be a token). Of two
    // programs that make it at once, both end up with the one that reached the disk first.
    // Throws when the file can be neither read nor made.
    static QString loadOrCreate(const QString& fileName);
};

} // namespace tessel::security

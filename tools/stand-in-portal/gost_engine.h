#pragma once

namespace standin {

// Makes the OpenSSL GOST engine the default for its algorithms; throws std::runtime_error
// when it cannot be loaded. Call once before any TLS context is made.
void loadGostEngine();

} // namespace standin

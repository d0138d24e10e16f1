#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// `openssl pkcs12 -export -engine gost` with the options into out, the password passed through
// the environment; throws std::runtime_error when openssl fails.
void exportPkcs12(const std::vector<std::string>& options, const std::string& password,
                  const std::filesystem::path& out);

// The PKI's NAME.key.pem with NAME.pem and ca-bundle.pem, key and certificates encrypted with
// cipher ("gost89", "kuznyechik-ctr-acpkm") and a Streebog-512 MAC, as GOST tools export a key.
void exportGostPkcs12(const std::filesystem::path& pkiDirectory, const std::string& name, const std::string& cipher,
                      const std::string& password, const std::filesystem::path& out);

} // namespace testsupport

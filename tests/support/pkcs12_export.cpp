#include "pkcs12_export.h"

#include "command.h"

#include <stdexcept>

namespace testsupport {

void exportPkcs12(const std::vector<std::string>& options, const std::string& password,
                  const std::filesystem::path& out)
{
    std::vector<std::string> command{"openssl", "pkcs12", "-export", "-engine", "gost"};
    command.insert(command.end(), options.begin(), options.end());
    command.insert(command.end(), {"-passout", "env:VPP_PKCS12_PASSWORD", "-out", out.string()});
    // The engine alone, whatever the system's configuration says.
    const CommandResult result = runCommand(command, {"OPENSSL_CONF=/dev/null", "VPP_PKCS12_PASSWORD=" + password});
    if (result.exitStatus != 0)
        throw std::runtime_error("openssl pkcs12 -export failed: " + result.errors);
}

void exportGostPkcs12(const std::filesystem::path& pkiDirectory, const std::string& name, const std::string& cipher,
                      const std::string& password, const std::filesystem::path& out)
{
    exportPkcs12({"-inkey", (pkiDirectory / (name + ".key.pem")).string(), "-in",
                  (pkiDirectory / (name + ".pem")).string(), "-certfile", (pkiDirectory / "ca-bundle.pem").string(),
                  "-keypbe", cipher, "-certpbe", cipher, "-macalg", "md_gost12_512"},
                 password, out);
}

} // namespace testsupport

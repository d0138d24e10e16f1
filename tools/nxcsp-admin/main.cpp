// nxcsp-admin: sets up the key containers and certificate stores that the proxy's
// crypto engine uses (NXCSP_ROOT selects the provider root).

#include "admin_common.h"
#include "commands.h"

#include "crypto/platform/openssl_init.h"

#include <iostream>

namespace {

const char usage[] =
    "Usage:\n"
    "  nxcsp-admin container list [--machine]\n"
    "  nxcsp-admin container import NAME --key KEY.pem --cert CERT.pem [--exchange] [PIN] [--machine]\n"
    "  nxcsp-admin container import NAME --pfx FILE.pfx [--pfx-password-file FILE|-] [--ca-store STORE]\n"
    "                               [--exchange] [PIN] [--machine]\n"
    "  nxcsp-admin container passwd NAME [--old-pin-file FILE|-] [--new-pin-file FILE|-] [--machine]\n"
    "  nxcsp-admin container delete NAME [--machine]\n"
    "  nxcsp-admin store list STORE\n"
    "  nxcsp-admin store add STORE FILE...          (certificates, CRLs or PKCS#7 bundles, PEM or DER)\n"
    "  nxcsp-admin store remove STORE THUMBPRINT    (SHA-1 hex of a certificate or CRL)\n"
    "\n"
    "PIN: --pin-file FILE|- (the first line of FILE, or of standard input); on a terminal the PIN and\n"
    "the PFX password are asked without echo. An empty PIN stores the key without one, and an empty\n"
    "new PIN removes it. --pin PIN, --old OLD and --new NEW still work but show the PIN to other\n"
    "processes. With both secrets on standard input the password comes first, then the PIN.\n"
    "--pfx imports a GOST PKCS#12 file: its key with its certificate, and its certification\n"
    "authorities into the CA store (default ROOT, the proxy's CA store).\n"
    "\n"
    "Key containers and certificate stores of the GOST provider live under $NXCSP_ROOT\n"
    "(default $XDG_DATA_HOME/nxcsp or ~/.local/share/nxcsp); --machine selects the machine\n"
    "key set ($NXCSP_MACHINE_ROOT, default /var/lib/nxcsp).\n"
    "The proxy's engine uses the stores ROOT (trusted roots), the configured CA store\n"
    "(default ROOT) and the trust store velmar_portal_proxy_trust.\n";

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h" || argument == "help") {
            std::cout << usage;
            return 0;
        }
    }
    try {
        if (arguments.empty())
            throw nxcsp_admin::UsageError{"no command given"};
        if (!nxcrypto::csp::initOpenSsl())
            throw nxcsp_admin::CommandError{"OpenSSL GOST support: " + nxcrypto::csp::initOpenSslError()};
        const std::string command = arguments.front();
        const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        if (command == "container")
            nxcsp_admin::runContainerCommand(rest);
        else if (command == "store")
            nxcsp_admin::runStoreCommand(rest);
        else
            throw nxcsp_admin::UsageError{"unknown command \"" + command + "\""};
    } catch (const nxcsp_admin::UsageError& error) {
        std::cerr << "nxcsp-admin: " << error.message << "\n\n" << usage;
        return 2;
    } catch (const nxcsp_admin::CommandError& error) {
        std::cerr << "nxcsp-admin: " << error.message << "\n";
        return 1;
    }
    return 0;
}

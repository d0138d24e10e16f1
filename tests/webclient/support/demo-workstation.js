// A workstation made afresh for one test: a test PKI, the provider's key container "demo"
// holding the user's key under a PIN, and the certificate stores the proxy reads.
"use strict";

const fs = require("fs");
const os = require("os");
const path = require("path");
const ChildProcess = require("./child-process");
const tools = require("./tool-paths");

const CA_STORE = "ROOT";
const TRUST_STORE = "velmar_portal_proxy_trust";

class DemoWorkstation {
  static KEY_NAME = "demo";
  static PIN = "12345678";
  static USER = "Иванов Иван Иванович";

  /**
   * trusted: PKI file names put into the trust store; authorities: into the CA store.
   */
  constructor({ trusted = ["user.pem"], authorities = ["root.pem", "intermediate.pem"] } = {}) {
    this.dir = fs.mkdtempSync(path.join(os.tmpdir(), "vpp-webclient-"));
    this.pki = path.join(this.dir, "pki");
    this.nxcspRoot = path.join(this.dir, "nxcsp");
    fs.mkdirSync(this.nxcspRoot);
    ChildProcess.run(tools.makeTestPki(), [this.pki]);
    this.admin(["container", "import", DemoWorkstation.KEY_NAME, "--key", this.pkiFile("user.key.pem"),
      "--cert", this.pkiFile("user.pem"), "--pin", DemoWorkstation.PIN]);
    this.admin(["store", "add", CA_STORE, ...authorities.map((f) => this.pkiFile(f))]);
    if (trusted.length > 0) {
      this.admin(["store", "add", TRUST_STORE, ...trusted.map((f) => this.pkiFile(f))]);
    }
  }

  get env() {
    return { NXCSP_ROOT: this.nxcspRoot };
  }

  pkiFile(name) {
    return path.join(this.pki, name);
  }

  /**
   * The PKI's key NAME with its certificate and the CA certificates as a PKCS#12 file, as GOST
   * tools export a key: PBES2 with cipher, a Streebog-512 MAC.
   */
  pkcs12(name, password, cipher = "kuznyechik-ctr-acpkm") {
    const file = path.join(this.dir, `${name}.pfx`);
    ChildProcess.run("openssl", ["pkcs12", "-export", "-engine", "gost",
      "-inkey", this.pkiFile(`${name}.key.pem`), "-in", this.pkiFile(`${name}.pem`),
      "-certfile", this.pkiFile("ca-bundle.pem"), "-keypbe", cipher, "-certpbe", cipher,
      "-macalg", "md_gost12_512", "-passout", "env:VPP_PKCS12_PASSWORD", "-out", file],
    { OPENSSL_CONF: "/dev/null", VPP_PKCS12_PASSWORD: password });
    return file;
  }

  admin(args) {
    return ChildProcess.run(tools.nxcspAdmin(), args, this.env);
  }

  remove() {
    fs.rmSync(this.dir, { recursive: true, force: true });
  }
}

module.exports = DemoWorkstation;

// The stand-in portal: an HTTPS server that asks for the GOST client certificate.
"use strict";

const fs = require("fs");
const path = require("path");
const ChildProcess = require("./child-process");
const tools = require("./tool-paths");

class StandInPortal {
  constructor(workstation) {
    this.workstation = workstation;
    this.dir = path.join(workstation.dir, "portal");
    fs.mkdirSync(this.dir);
    this.portFile = path.join(this.dir, "port");
  }

  async start() {
    const w = this.workstation;
    this.process = new ChildProcess(tools.standInPortal(), [
      "--cert", w.pkiFile("server.pem"), "--key", w.pkiFile("server.key.pem"),
      "--ca", w.pkiFile("ca-bundle.pem"), "--state", this.dir,
      "--listen", "127.0.0.1:0", "--port-file", this.portFile, "--client-auth", "require"
    ], { env: {}, logFile: path.join(this.dir, "portal.log") });
    const deadline = Date.now() + 20000;
    while (!fs.existsSync(this.portFile) || fs.readFileSync(this.portFile, "utf8").trim() === "") {
      if (!this.process.running || Date.now() > deadline) {
        throw new Error(`the stand-in portal did not start:\n${this.process.log()}`);
      }
      await new Promise((r) => setTimeout(r, 100));
    }
    this.port = Number(fs.readFileSync(this.portFile, "utf8").trim());
  }

  /** Writes the sample documents of seed-documents, signed by the PKI's agent, into the state directory. */
  seedDocuments() {
    ChildProcess.run(tools.seedDocuments(), [this.dir, this.workstation.pki]);
  }

  /** A document's directory in the state directory. */
  documentDir(kind, id) {
    return path.join(this.dir, "documents", kind, id);
  }

  /** The requests the portal received, in order, as requests.log records them. */
  requests() {
    return fs.readFileSync(path.join(this.dir, "requests.log"), "utf8").split("\n").filter((l) => l !== "").map(JSON.parse);
  }

  get url() {
    return `https://localhost:${this.port}`;
  }

  stop() {
    return this.process ? this.process.terminate() : Promise.resolve();
  }
}

module.exports = StandInPortal;

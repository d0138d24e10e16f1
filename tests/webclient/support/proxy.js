// The real proxy executable, run with its own configuration file and the demo workstation.
"use strict";

const fs = require("fs");
const path = require("path");
const ChildProcess = require("./child-process");
const tools = require("./tool-paths");

/** Where a proxy without a configuration file listens. */
const DEFAULT_PORT = 8000;

class Proxy {
  /**
   * config: the content of config.json, or null for a first start without one.
   */
  constructor(workstation, config) {
    this.workstation = workstation;
    this.dir = path.join(workstation.dir, "proxy");
    fs.mkdirSync(this.dir, { recursive: true });
    this.configFile = path.join(this.dir, "config.json");
    if (config) {
      fs.writeFileSync(this.configFile, JSON.stringify(config, null, 4));
    }
    this.port = config ? config.listenPort : DEFAULT_PORT;
  }

  static configFor(workstation, portal, port) {
    return {
      listenInterface: "127.0.0.1",
      listenPort: port,
      appUrl: portal ? portal.url : "https://localhost:1",
      crypto: { keyName: workstation.constructor.KEY_NAME },
      storageDir: path.join(workstation.dir, "storage")
    };
  }

  get url() {
    return `http://127.0.0.1:${this.port}`;
  }

  savedConfig() {
    return JSON.parse(fs.readFileSync(this.configFile, "utf8"));
  }

  async start() {
    this.process = new ChildProcess(tools.proxy(), ["--stderr", "-c", this.configFile],
      { env: this.workstation.env, logFile: path.join(this.dir, "proxy.log") });
    const deadline = Date.now() + 30000;
    for (;;) {
      if (!this.process.running) {
        throw new Error(`the proxy exited at start:\n${this.process.log()}`);
      }
      try {
        const answer = await fetch(`${this.url}/local/rest/v1/ping`);
        if (answer.status === 204) {
          return;
        }
      } catch (e) {
        // not listening yet
      }
      if (Date.now() > deadline) {
        throw new Error(`the proxy does not answer:\n${this.process.log()}`);
      }
      await new Promise((r) => setTimeout(r, 200));
    }
  }

  async stop() {
    if (!this.process || !this.process.running) {
      return;
    }
    try {
      await fetch(`${this.url}/quit`);
    } catch (e) {
      // it may close the connection while it stops
    }
    const { code } = await this.process.waitForExit(15000);
    if (code !== 0) {
      throw new Error(`the proxy ended with ${code}:\n${this.process.log()}`);
    }
  }

  log() {
    return this.process ? this.process.log() : "";
  }
}

Proxy.DEFAULT_PORT = DEFAULT_PORT;
module.exports = Proxy;

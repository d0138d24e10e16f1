// The real proxy executable, run with its own configuration file and the demo workstation.
"use strict";

const fs = require("fs");
const path = require("path");
const ChildProcess = require("./child-process");
const { request, rememberToken, forgetToken } = require("./http");
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

  /** The token the proxy keeps beside its configuration file. */
  accessToken() {
    return fs.readFileSync(path.join(path.dirname(this.configFile), "access-token"), "utf8").trim();
  }

  /** The address `--url` prints for this proxy's configuration. */
  async openingUrl() {
    const urlTool = new ChildProcess(tools.proxy(), ["--url", "-c", this.configFile],
      { env: this.workstation.env, logFile: path.join(this.dir, "url.log") });
    const { code } = await urlTool.waitForExit(15000);
    if (code !== 0) {
      throw new Error(`--url ended with ${code}:\n${urlTool.log()}`);
    }
    return urlTool.log().trim().split("\n").pop();
  }

  async start() {
    const deadline = Date.now() + 30000;
    this.spawn();
    while (!(await this.answersPing())) {
      if (!this.process.running) {
        throw new Error(`the proxy exited at start:\n${this.process.log()}`);
      }
      if (Date.now() > deadline) {
        throw new Error(`the proxy does not answer:\n${this.process.log()}`);
      }
      await new Promise((r) => setTimeout(r, 200));
    }
  }

  async answersPing() {
    try {
      const token = this.accessToken();
      rememberToken(this.url, token);
      return (await request("GET", `${this.url}/local/rest/v1/ping`)).status === 204;
    } catch (e) {
      return false; // not listening yet
    }
  }

  /**
   * Starts the proxy on a port that may still be taken: by an earlier proxy's connections, which
   * linger in the kernel for up to a minute and which the proxy's listening socket does not reuse
   * the address past, or by another program for a while. The start is repeated while it is.
   */
  async startWhenPortFree() {
    const deadline = Date.now() + 90000;
    for (;;) {
      try {
        return await this.start();
      } catch (e) {
        if (!/Address already in use/.test(e.message) || Date.now() > deadline) {
          throw e;
        }
        await new Promise((r) => setTimeout(r, 1000));
      }
    }
  }

  spawn() {
    this.process = new ChildProcess(tools.proxy(), ["--stderr", "-c", this.configFile],
      { env: this.workstation.env, logFile: path.join(this.dir, "proxy.log") });
  }

  async stop() {
    if (!this.process || !this.process.running) {
      return;
    }
    try {
      await request("GET", `${this.url}/quit`);
    } catch (e) {
      // it may close the connection while it stops
    }
    const { code, signal } = await this.process.waitForExit(15000);
    forgetToken(this.url);
    if (code !== 0) {
      throw new Error(`the proxy ended with ${signal || code} after /quit:\n${this.process.log()}`);
    }
  }

  log() {
    return this.process ? this.process.log() : "";
  }
}

Proxy.DEFAULT_PORT = DEFAULT_PORT;
module.exports = Proxy;

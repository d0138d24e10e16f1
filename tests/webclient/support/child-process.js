// A program started by a test, with its output kept in a log file for when the test fails.
"use strict";

const { spawn, execFileSync } = require("child_process");
const fs = require("fs");

class ChildProcess {
  constructor(command, args, { env, logFile }) {
    this.logFile = logFile;
    const log = fs.openSync(logFile, "a");
    this.child = spawn(command, args, { env: { ...process.env, ...env }, stdio: ["ignore", log, log] });
    fs.closeSync(log);
    this.exited = new Promise((resolve) => this.child.on("exit", (code, signal) => resolve({ code, signal })));
  }

  get running() {
    return this.child.exitCode === null && this.child.signalCode === null;
  }

  /** Waits for the exit; past the time limit the process is killed. */
  async waitForExit(ms) {
    const timer = setTimeout(() => this.child.kill("SIGKILL"), ms);
    try {
      return await this.exited;
    } finally {
      clearTimeout(timer);
    }
  }

  async terminate() {
    if (this.running) {
      this.child.kill("SIGTERM");
      await this.waitForExit(5000);
    }
  }

  log() {
    return fs.existsSync(this.logFile) ? fs.readFileSync(this.logFile, "utf8") : "";
  }

  /** Runs a command to its end and fails with its output when it fails. */
  static run(command, args, env) {
    try {
      return execFileSync(command, args, { env: { ...process.env, ...env }, encoding: "utf8", stdio: "pipe" });
    } catch (e) {
      throw new Error(`${command} ${args.join(" ")} failed:\n${e.stdout || ""}${e.stderr || ""}`);
    }
  }
}

module.exports = ChildProcess;

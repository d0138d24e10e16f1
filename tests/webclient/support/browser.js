// Headless Chromium from Debian, driven by playwright-core, with a fresh profile. Every request
// the page makes is checked: only the proxy's own paths that a test allows may be asked for.
"use strict";

const fs = require("fs");
const os = require("os");
const path = require("path");
const { chromium } = require("playwright-core");
const tools = require("./tool-paths");
const { tokenFor } = require("./http");

const FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync"];

class Browser {
  /**
   * origin: the proxy's origin; allowedPaths: path prefixes the page may request there;
   * otherOrigins: origins the page may reach as well, for example another site's.
   */
  constructor(origin, allowedPaths = ["/local/"], otherOrigins = []) {
    this.origin = origin;
    this.allowedPaths = allowedPaths;
    this.otherOrigins = otherOrigins;
    this.outsideRequests = [];
    this.pageErrors = [];
    this.exactPaths = new Set();
  }

  /**
   * Opens a page of the proxy as the user's browser does once it has the proxy's cookie: the first
   * address carries the access token, which the proxy turns into its cookie.
   */
  async open(pathAndHash) {
    const [pathAndQuery, hash] = pathAndHash.split("#");
    const token = tokenFor(this.origin);
    const withToken = token ? `${pathAndQuery}${pathAndQuery.includes("?") ? "&" : "?"}token=${token}` : pathAndQuery;
    return this.openLink(this.origin + withToken + (hash === undefined ? "" : `#${hash}`));
  }

  /** Opens a link as the user does, for example the one that `velmar-portal-proxy --url` prints. */
  async openLink(link) {
    this.exactPaths.add(new URL(link).pathname);
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), "vpp-chromium-"));
    this.context = await chromium.launchPersistentContext(this.profile, {
      executablePath: tools.chromium(), headless: true, args: FLAGS,
      viewport: { width: 1200, height: 800 }, locale: "ru-RU"
    });
    await this.context.route("**/*", (route) => {
      const url = new URL(route.request().url());
      const ownPath = this.exactPaths.has(url.pathname) || this.allowedPaths.some((p) => url.pathname.startsWith(p));
      if ((url.origin === this.origin && ownPath) || this.otherOrigins.includes(url.origin)) {
        return route.continue();
      }
      this.outsideRequests.push(url.href);
      return route.abort();
    });
    this.page = this.context.pages()[0] || (await this.context.newPage());
    this.page.on("pageerror", (e) => this.pageErrors.push(e.message));
    await this.page.goto(link);
    return this.page;
  }

  async screenshot(name) {
    const dir = tools.artifacts();
    fs.mkdirSync(dir, { recursive: true });
    await this.page.screenshot({ path: path.join(dir, `webclient-${name}.png`) });
  }

  async close() {
    if (this.context) {
      await this.context.close();
    }
    if (this.profile) {
      fs.rmSync(this.profile, { recursive: true, force: true });
    }
  }
}

module.exports = Browser;

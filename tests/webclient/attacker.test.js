// Pages of another site, open in the same browser as the user's portal page, try what a web page
// could do to the proxy: forms, no-cors fetches and images against the REST API, /quit and the
// portal behind it. None of them changes anything or reaches the portal.
"use strict";

const { describe, it, before, after } = require("node:test");
const assert = require("node:assert/strict");
const fs = require("fs");
const http = require("http");
const DemoWorkstation = require("./support/demo-workstation");
const StandInPortal = require("./support/stand-in-portal");
const Proxy = require("./support/proxy");
const Browser = require("./support/browser");
const { freePort } = require("./support/free-port");
const { request, getJson } = require("./support/http");
const teardown = require("./support/teardown");

const DRAFT = "0f8fad5b-d9cb-469f-a165-70867728950e";
const INCOMING = "16fd2706-8baf-433b-82eb-8c7fada847da";

/** A site of its own, on another origin than the proxy's, that serves the attack pages. */
function attackerSite(pages) {
  const server = http.createServer((req, res) => {
    const page = pages[new URL(req.url, "http://x").pathname.slice(1)];
    res.writeHead(page ? 200 : 404, { "Content-Type": "text/html; charset=utf-8" });
    res.end(page ? `<!DOCTYPE html><html><body>${page}<p id="done">done</p></body></html>` : "");
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

function form(action, fields, enctype = "application/x-www-form-urlencoded") {
  const inputs = Object.entries(fields).map(([name, value]) =>
    `<input type="hidden" name='${name}' value='${value}'>`).join("");
  return `<form id="f" method="POST" action="${action}" enctype="${enctype}">${inputs}</form>
<script>document.getElementById("f").submit();</script>`;
}

function noCorsFetch(url, method, body) {
  return `<script>fetch(${JSON.stringify(url)}, { method: "${method}", mode: "no-cors", credentials: "include",
  headers: { "Content-Type": "text/plain" }, body: ${JSON.stringify(body)} }).catch(() => {});</script>`;
}

describe("pages of another site", () => {
  let workstation;
  let portal;
  let proxy;
  let site;
  let browser;
  let page;
  let proxyOrigin;
  let attackerOrigin;

  before(async () => {
    workstation = new DemoWorkstation({ trusted: ["user.pem", "agent.pem"] });
    portal = new StandInPortal(workstation);
    portal.seedDocuments();
    await portal.start();
    proxy = new Proxy(workstation, Proxy.configFor(workstation, portal, await freePort()));
    await proxy.start();
    // The user has unlocked the key: a forwarded request would carry the user's certificate.
    assert.equal((await request("POST", `${proxy.url}/local/rest/v1/crypto/setkp`, DemoWorkstation.PIN)).status, 204);

    const link = await proxy.openingUrl();
    proxyOrigin = new URL(link).origin;
    const settingsJson = JSON.stringify({ appUrl: "http://attacker.localhost/", listenInterface: "0.0.0.0" });
    const trusted = await getJson(`${proxy.url}/local/rest/v1/crypto/certificates`);
    const deleteBody = JSON.stringify({ ca: false, cert: trusted[0] });
    const sendBody = JSON.stringify({ uids: [DRAFT], pwd: DemoWorkstation.PIN });
    const api = `${proxyOrigin}/local/rest/v1`;
    site = await attackerSite({
      "settings-form": form(`${api}/settings`, { [settingsJson.slice(0, -1) + ',"x":"']: '"}' }, "text/plain"),
      "settings-fetch": noCorsFetch(`${api}/settings`, "POST", settingsJson),
      "certificate-delete": noCorsFetch(`${api}/crypto/certificates/delete`, "POST", deleteBody),
      "certificate-delete-form": form(`${api}/crypto/certificates/delete`,
        { [deleteBody.slice(0, -1) + ',"x":"']: '"}' }, "text/plain"),
      "drafts-send": noCorsFetch(`${api}/drafts/send`, "POST", sendBody),
      "drafts-send-form": form(`${api}/drafts/send`, { [sendBody.slice(0, -1) + ',"x":"']: '"}' }, "text/plain"),
      "inbox-image": `<img src="${api}/inbox/${INCOMING}">`,
      "quit-image": `<img src="${proxyOrigin}/quit">`,
      "portal-post": form(`${proxyOrigin}/rest/client/v1/documents/drafts/${DRAFT}/send`, { a: "1" }),
      "portal-fetch": noCorsFetch(`${proxyOrigin}/rest/client/v1/documents/drafts/${DRAFT}/send`, "POST", "{}")
    });
    attackerOrigin = `http://attacker.localhost:${site.address().port}`;

    browser = new Browser(proxyOrigin, ["/local/", "/webclient/", "/rest/", "/quit"], [attackerOrigin]);
    // The user's portal page first, so that the browser holds the proxy's cookie.
    page = await browser.openLink(link);
    await page.waitForURL(`${proxyOrigin}/webclient/`);
    await page.locator("#user").waitFor();
  });

  after(() => teardown(() => browser?.close(), () => site?.close(), () => proxy?.stop(), () => portal?.stop(),
    () => workstation?.remove()));

  it("change nothing and reach no portal", async () => {
    const config = fs.readFileSync(proxy.configFile, "utf8");
    const certificates = await getJson(`${proxy.url}/local/rest/v1/crypto/certificates`);
    const portalRequests = portal.requests().length;

    const attack = await browser.context.newPage();
    for (const name of ["settings-form", "settings-fetch", "certificate-delete", "certificate-delete-form",
      "drafts-send", "drafts-send-form", "inbox-image", "quit-image", "portal-post", "portal-fetch"]) {
      await attack.goto(`${attackerOrigin}/${name}`);
      await attack.waitForLoadState("networkidle");
    }
    // What would have run in the background would have had the time to.
    await new Promise((r) => setTimeout(r, 3000));

    assert.equal((await request("GET", `${proxy.url}/local/rest/v1/ping`)).status, 204, "the proxy still runs");
    assert.equal(fs.readFileSync(proxy.configFile, "utf8"), config);
    assert.deepEqual(await getJson(`${proxy.url}/local/rest/v1/crypto/certificates`), certificates);
    assert.deepEqual(await getJson(`${proxy.url}/local/rest/v1/processes`), []);
    assert.ok(fs.existsSync(portal.documentDir("drafts", DRAFT)), "the draft is still a draft");
    assert.ok(!fs.existsSync(`${portal.documentDir("inbox", INCOMING)}/signState.json`), "no sign state was reported");
    assert.deepEqual(portal.requests().slice(portalRequests), []);
    assert.match(proxy.log(), /another site/);
  });

  it("leave the user's own portal page working", async () => {
    await page.reload();
    await page.locator("#user").getByText(`CN=${DemoWorkstation.USER}`, { exact: false }).waitFor();
  });
});

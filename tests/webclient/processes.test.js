// The list of background processes: entries with their stage, state and error; clearing finished ones.
"use strict";

const { describe, it, before, after } = require("node:test");
const assert = require("node:assert/strict");
const { randomUUID } = require("crypto");
const DemoWorkstation = require("./support/demo-workstation");
const Proxy = require("./support/proxy");
const Browser = require("./support/browser");
const WebClientPage = require("./support/web-client-page");
const teardown = require("./support/teardown");
const { freePort } = require("./support/free-port");
const { request, getJson } = require("./support/http");

describe("background processes", () => {
  let workstation;
  let proxy;
  let browser;

  before(async () => {
    workstation = new DemoWorkstation();
    // No portal answers at this address, so receiving a document fails: a finished process.
    proxy = new Proxy(workstation, Proxy.configFor(workstation, null, await freePort()));
    await proxy.start();
    browser = new Browser(proxy.url);
  });

  after(() => teardown(() => browser?.close(), () => proxy?.stop(), () => workstation?.remove()));

  it("lists a process with its state and error, and clears it once finished", async () => {
    const documentId = randomUUID();
    const started = await request("GET", `${proxy.url}/local/rest/v1/inbox/${documentId}`);
    assert.equal(started.status, 200);

    const ui = new WebClientPage(await browser.open("/local/"));
    await ui.openTab("Фоновые операции");
    const description = `Receive document # ${documentId}`;
    // The list polls by itself until the process has failed, with no portal to ask.
    await ui.row(description).getByText("Ошибка", { exact: true }).waitFor({ timeout: 30000 });
    const [process] = await getJson(`${proxy.url}/local/rest/v1/processes`);
    assert.equal(process.state, 2);
    assert.deepEqual(await ui.rowTexts(description), [description, process.stage, "Ошибка", process.errorMsg]);
    await browser.screenshot("processes");

    await ui.click("Очистить завершённые");
    await ui.waitForText("Фоновых операций нет.");
    await ui.waitForNoText(description);
    assert.deepEqual(await getJson(`${proxy.url}/local/rest/v1/processes`), []);
    assert.deepEqual(browser.outsideRequests, []);
    assert.deepEqual(browser.pageErrors, []);
  });
});

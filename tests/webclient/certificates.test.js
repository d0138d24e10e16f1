// The certificate stores: lists, the chain of one certificate, import from a file, deletion.
"use strict";

const { describe, it, before, after } = require("node:test");
const assert = require("node:assert/strict");
const fs = require("fs");
const { X509Certificate } = require("crypto");
const DemoWorkstation = require("./support/demo-workstation");
const Proxy = require("./support/proxy");
const Browser = require("./support/browser");
const WebClientPage = require("./support/web-client-page");
const teardown = require("./support/teardown");
const { freePort } = require("./support/free-port");
const { getJson } = require("./support/http");

const ROOT_CA = "Velmar Test Root CA 2012";
const ISSUING_CA = "Velmar Test Issuing CA 2012";
const AGENT = "Трансфер-Агент Тест";

/** The table row a user should see for a certificate file: owner, issuer, validity, serial. */
function expectedRow(pemFile) {
  const cert = new X509Certificate(fs.readFileSync(pemFile));
  const commonName = (name) => /CN=([^\n]+)/.exec(name)[1];
  const two = (n) => String(n).padStart(2, "0");
  const day = (text) => {
    const d = new Date(text);
    return `${two(d.getDate())}.${two(d.getMonth() + 1)}.${d.getFullYear()}`;
  };
  return [commonName(cert.subject), commonName(cert.issuer), day(cert.validFrom), day(cert.validTo),
    BigInt(`0x${cert.serialNumber}`).toString()];
}

describe("certificates", () => {
  let workstation;
  let proxy;
  let browser;
  let ui;

  function storeOnServer() {
    return getJson(`${proxy.url}/local/rest/v1/crypto/certificates`);
  }

  before(async () => {
    workstation = new DemoWorkstation({ trusted: ["user.pem"], authorities: ["root.pem", "intermediate.pem"] });
    proxy = new Proxy(workstation, Proxy.configFor(workstation, null, await freePort()));
    await proxy.start();
    browser = new Browser(proxy.url);
    await browser.open("/local/");
    ui = new WebClientPage(browser.page);
    await ui.openTab("Сертификаты");
  });

  after(() => teardown(() => browser?.close(), () => proxy?.stop(), () => workstation?.remove()));

  it("lists both stores with owner, issuer, validity and serial number", async () => {
    assert.deepEqual(await ui.rowTexts(DemoWorkstation.USER), expectedRow(workstation.pkiFile("user.pem")));
    await ui.waitForText("Доверенные сертификаты (1)");
    await browser.screenshot("certificates-trusted");

    await ui.openTab("Удостоверяющие центры");
    await ui.waitForText("Удостоверяющие центры (2)");
    assert.deepEqual(await ui.rowTexts(ISSUING_CA), expectedRow(workstation.pkiFile("intermediate.pem")));
    assert.deepEqual(await ui.rowTexts(ROOT_CA), expectedRow(workstation.pkiFile("root.pem")));
    await ui.openTab("Доверенные сертификаты");
  });

  it("shows a certificate's chain from the root down", async () => {
    await ui.clickCell(DemoWorkstation.USER);
    await ui.click("Просмотр");
    await ui.waitForText("Путь сертификации");
    const tops = [];
    for (const name of [ROOT_CA, ISSUING_CA, DemoWorkstation.USER]) {
      // The user's name is in the table too; the window's tree is the last to be drawn.
      const item = browser.page.getByText(name, { exact: true }).last();
      await item.waitFor({ state: "visible", timeout: 20000 });
      tops.push((await item.boundingBox()).y);
    }
    assert.ok(tops[0] < tops[1] && tops[1] < tops[2], `tree from the root down, tops ${tops}`);
    await ui.waitForText(expectedRow(workstation.pkiFile("user.pem"))[4]);
    await browser.screenshot("certificates-chain");
    await ui.click("Закрыть");
    await ui.waitForNoText("Путь сертификации");
  });

  // A bare certificate file, PEM here and DER below, goes to the proxy wrapped as PKCS#7.
  it("refuses a certificate the proxy cannot use, with the server's message", async () => {
    await ui.click("Импорт…");
    const blob = browser.page.waitForResponse((r) => r.url().endsWith("/crypto/certificates/blob"));
    await browser.page.locator("input[type=file]").last().setInputFiles(workstation.pkiFile("rsa.pem"));
    const answer = await blob;
    assert.equal(answer.status(), 400);
    assert.equal(await ui.message("alert"), `Не удалось прочитать сертификат из файла.\n${(await answer.text()).trim()}`);
    await ui.answer("alert", "ОК");
    await ui.click("Отмена");
    assert.equal((await storeOnServer()).reg.length, 1);
  });

  it("imports a certificate file into the chosen store after a preview", async () => {
    await ui.click("Импорт…");
    await browser.page.locator("input[type=file]").last().setInputFiles(workstation.pkiFile("agent.cer"));
    await ui.waitForText(`CN=${AGENT}`, { exact: false });
    await browser.screenshot("certificates-import-preview");
    assert.equal((await storeOnServer()).reg.length, 1, "the preview adds nothing yet");
    await ui.click("Добавить");
    assert.equal(await ui.message("status"), "Сертификат добавлен.");
    await ui.answer("status", "ОК");
    assert.deepEqual(await ui.rowTexts(AGENT), expectedRow(workstation.pkiFile("agent.pem")));
    await ui.waitForText("Доверенные сертификаты (2)");
  });

  it("deletes a certificate only after the user confirms", async () => {
    await ui.clickCell(AGENT);
    await ui.click("Удалить");
    assert.equal(await ui.message("status"), `Удалить сертификат «${AGENT}» из хранилища?`);
    await ui.answer("status", "Нет");
    assert.equal((await storeOnServer()).reg.length, 2);

    await ui.clickCell(AGENT);
    await ui.click("Удалить");
    await ui.answer("status", "Да");
    await ui.waitForText("Доверенные сертификаты (1)");
    await ui.waitForNoText(AGENT);
    const store = await storeOnServer();
    assert.deepEqual(store.reg.map((c) => c.serialNumber), [expectedRow(workstation.pkiFile("user.pem"))[4]]);
    assert.deepEqual(browser.outsideRequests, []);
    assert.deepEqual(browser.pageErrors, []);
  });
});

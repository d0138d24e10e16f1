// The stand-in portal's document page, opened through the proxy with the key unlocked: sending a
// draft, receiving an incoming document, its attachments, deleting a draft, the process list.
"use strict";

const { describe, it, before, after } = require("node:test");
const assert = require("node:assert/strict");
const fs = require("fs");
const path = require("path");
const DemoWorkstation = require("./support/demo-workstation");
const StandInPortal = require("./support/stand-in-portal");
const Proxy = require("./support/proxy");
const Browser = require("./support/browser");
const teardown = require("./support/teardown");
const { freePort } = require("./support/free-port");
const { request, getJson } = require("./support/http");

const TIMEOUT = 60000;
// The ids seed-documents gives its documents.
const FULL_DRAFT = "0f8fad5b-d9cb-469f-a165-70867728950e";
const EMPTY_DRAFT = "7c9e6679-7425-40de-944b-e07fc1f90ae7";
const INCOMING = "16fd2706-8baf-433b-82eb-8c7fada847da";

describe("the portal's document page", () => {
  let workstation;
  let portal;
  let proxy;
  let browser;
  let page;

  /** The rows of a list (drafts, inbox, outbox) that show a document number. */
  const documentRow = (list, number) => page.locator(`#${list} tbody tr`).filter({ hasText: number });
  /** The last entry of the process list with this description. */
  const processRow = (description) => page.locator("#processes tbody tr")
    .filter({ has: page.getByText(description, { exact: true }) }).last();
  const cellTexts = async (row) => (await row.locator("td").allInnerTexts()).map((t) => t.trim());

  /** Waits until the last process of this description shows the state, and gives its cells. */
  async function finishedProcess(description, state) {
    const row = processRow(description);
    await row.filter({ has: page.getByText(state, { exact: true }) }).waitFor({ timeout: TIMEOUT });
    return cellTexts(row);
  }

  async function sendDraft(number, password) {
    await documentRow("drafts", number).getByRole("button", { name: "Подписать и отправить" }).click();
    const dialog = page.locator("#send-dialog");
    await dialog.waitFor({ state: "visible" });
    assert.equal((await dialog.locator(".number").innerText()).trim(), number);
    await dialog.locator("input[name=pwd]").fill(password);
    await dialog.getByRole("button", { name: "Отправить" }).click();
    await dialog.waitFor({ state: "hidden" });
  }

  before(async () => {
    // The agent that signs the incoming document is trusted, and the CA's revocation lists are
    // there, so that its signatures can count as confirmed.
    workstation = new DemoWorkstation({
      trusted: ["user.pem", "agent.pem"],
      authorities: ["root.pem", "intermediate.pem", "root.crl.pem", "intermediate.crl.pem"]
    });
    portal = new StandInPortal(workstation);
    portal.seedDocuments();
    await portal.start();
    proxy = new Proxy(workstation, Proxy.configFor(workstation, portal, await freePort()));
    await proxy.start();
    const unlocked = await request("POST", `${proxy.url}/local/rest/v1/crypto/setkp`, DemoWorkstation.PIN);
    assert.equal(unlocked.status, 204, unlocked.body.toString());
    // As the user does: the link that `velmar-portal-proxy --url` prints.
    const link = await proxy.openingUrl();
    browser = new Browser(new URL(link).origin, ["/local/rest/v1/", "/webclient/"]);
    page = await browser.openLink(link);
    page.setDefaultTimeout(20000);
  });

  after(() => teardown(() => browser?.close(), () => proxy?.stop(), () => portal?.stop(), () => workstation?.remove()));

  it("lists the seeded drafts and the incoming document with what their envelopes say", async () => {
    await page.locator("#user").getByText(`CN=${DemoWorkstation.USER}`, { exact: false }).waitFor();
    const table = [
      ["drafts", "И-2026/118", ["И-2026/118", "01.12.2026", "ООО Ромашка", "АО Регистратор", "VELMAR_PORTAL_1_0",
        "Подписать и отправить Удалить"]],
      ["drafts", "И-2026/119", ["И-2026/119", "02.12.2026", "ООО Ромашка", "АО Регистратор", "RAW",
        "Подписать и отправить Удалить"]],
      ["inbox", "Р-2026/5521", ["Р-2026/5521", "03.12.2026", "АО Регистратор", "ООО Ромашка", "Ответ на запрос",
        "не проверялись", "Получить и проверить Вложения"]]
    ];
    for (const [list, number, cells] of table) {
      assert.deepEqual(await cellTexts(documentRow(list, number)), cells, number);
    }
    await page.locator("#outbox").getByText("Отправленных документов нет.").waitFor();
    await page.locator("#processes").getByText("Фоновых операций нет.").waitFor();
  });

  it("reports a wrong password as the failure of the sending and keeps the draft", async () => {
    await sendDraft("И-2026/118", "not the pin");
    const [, stage, state, error] = await finishedProcess(`Send document # ${FULL_DRAFT}`, "Ошибка");
    assert.equal(stage, "Sign draft");
    assert.equal(state, "Ошибка");
    assert.notEqual(error, "");
    await documentRow("drafts", "И-2026/118").waitFor();
    assert.equal(await documentRow("outbox", "И-2026/118").count(), 0);
  });

  it("signs and sends the full draft with the PIN, after which it is among the sent documents", async () => {
    await sendDraft("И-2026/118", DemoWorkstation.PIN);
    const description = `Send document # ${FULL_DRAFT}`;
    assert.deepEqual(await finishedProcess(description, "Завершён"), [description, "Document sent", "Завершён", ""]);
    // The lists are read again once the process has ended.
    await documentRow("outbox", "И-2026/118").waitFor();
    await documentRow("drafts", "И-2026/118").waitFor({ state: "detached" });
    assert.ok(fs.existsSync(path.join(portal.documentDir("outbox", FULL_DRAFT), "0.sign")));
    // The page's session id went with the proxy's calls to the portal.
    const sent = portal.requests().filter((r) => r.target === `/rest/client/v1/documents/drafts/${FULL_DRAFT}/send`);
    assert.equal(sent.length, 1);
    assert.deepEqual(sent[0].headers.filter(([name]) => name.toLowerCase() === "x-session-id"),
      [["X-Session-Id", "stand-in-session"]]);
  });

  it("receives the incoming document and shows its signatures confirmed", async () => {
    await documentRow("inbox", "Р-2026/5521").getByRole("button", { name: "Получить и проверить" }).click();
    const description = `Receive document # ${INCOMING}`;
    assert.deepEqual(await finishedProcess(description, "Завершён"), [description, "Document received", "Завершён", ""]);
    await documentRow("inbox", "Р-2026/5521").filter({ has: page.getByText("подтверждены", { exact: true }) }).waitFor();
    await browser.screenshot("documents");
  });

  it("lists the attachments of the incoming document with links that download them", async () => {
    const row = documentRow("inbox", "Р-2026/5521");
    await row.getByRole("button", { name: "Вложения" }).click();
    const links = page.locator("#inbox tr.attachments a");
    await links.first().waitFor();
    const expected = await getJson(`${proxy.url}/local/rest/v1/inbox/${INCOMING}/attachments`);
    assert.ok(expected.length > 0);
    assert.deepEqual(await links.allInnerTexts(), expected.map((a) => a.description));
    assert.deepEqual(await page.locator("#inbox tr.attachments li").allInnerTexts(),
      expected.map((a) => `${a.description} (${a.type})`));
    const first = await links.first().getAttribute("href");
    assert.equal(first, `/local/rest/v1/inbox/${INCOMING}/attachments/${expected[0].index}`);
    const download = await request("GET", proxy.url + first);
    assert.equal(download.status, 200);
    assert.ok(download.body.equals(fs.readFileSync(path.join(portal.documentDir("inbox", INCOMING), String(expected[0].index)))));
    await browser.screenshot("documents-attachments");
  });

  it("deletes a draft once the user confirms it", async () => {
    let question = null;
    page.once("dialog", (dialog) => {
      question = dialog.message();
      dialog.accept();
    });
    await documentRow("drafts", "И-2026/119").getByRole("button", { name: "Удалить" }).click();
    await documentRow("drafts", "И-2026/119").waitFor({ state: "detached" });
    assert.equal(question, "Удалить черновик № И-2026/119?");
    assert.equal(fs.existsSync(portal.documentDir("drafts", EMPTY_DRAFT)), false);
    await page.locator("#drafts").getByText("Черновиков нет.").waitFor();
  });

  it("clears the finished processes", async () => {
    await page.getByRole("button", { name: "Очистить", exact: true }).click();
    await page.locator("#processes").getByText("Фоновых операций нет.").waitFor();
    assert.deepEqual(await getJson(`${proxy.url}/local/rest/v1/processes`), []);
    assert.equal(await page.locator("#message").isVisible(), false);
    assert.deepEqual(browser.outsideRequests, []);
    assert.deepEqual(browser.pageErrors, []);
  });
});

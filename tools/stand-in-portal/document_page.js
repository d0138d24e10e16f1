"use strict";
(() => {
  const REST = "/local/rest/v1/";
  const POLL_MS = 1000;
  const STATE_TEXTS = ["Ожидает", "Выполняется", "Ошибка", "Завершён"];
  const SESSION_COOKIE = "X-Session-Id=";
  const sessionId = decodeURIComponent((document.cookie.split("; ")
    .find((c) => c.startsWith(SESSION_COOKIE)) || SESSION_COOKIE).slice(SESSION_COOKIE.length));
  const message = document.getElementById("message");
  const processes = document.getElementById("processes");
  const sendDialog = document.getElementById("send-dialog");
  let poll;
  // Set by every action: the lists are read again once no process waits or runs.
  let documentsChanged = false;

  function showMessage(text) {
    message.textContent = text;
    message.hidden = text === "";
  }

  async function call(method, path, body) {
    const headers = { "X-Session-Id": sessionId };
    if (body !== undefined) {
      headers["Content-Type"] = "application/json";
    }
    let response;
    try {
      response = await fetch(REST + path, { method, headers, body, cache: "no-store" });
    } catch (e) {
      throw new Error("Нет связи с прокси-сервером");
    }
    if (!response.ok) {
      const text = (await response.text()).trim();
      throw new Error(text || response.statusText || `Ошибка HTTP ${response.status}`);
    }
    return response;
  }

  // Runs an action and shows what failed and why.
  async function attempt(failure, action) {
    try {
      await action();
    } catch (e) {
      showMessage(`${failure}: ${e.message}`);
    }
  }

  async function reloadDocuments() {
    const response = await fetch(location.pathname, { headers: { "X-Session-Id": sessionId }, cache: "no-store" });
    const fresh = response.ok &&
      new DOMParser().parseFromString(await response.text(), "text/html").getElementById("documents");
    if (fresh) {
      document.getElementById("documents").replaceWith(document.adoptNode(fresh));
    } else if (response.redirected) {
      location.assign(response.url); // the proxy asks for the key again
    } else {
      throw new Error(`${response.status} ${response.statusText}`);
    }
  }

  function row(cells) {
    const tr = document.createElement("tr");
    for (const text of cells) {
      tr.appendChild(document.createElement("td")).textContent = text;
    }
    return tr;
  }

  async function loadProcesses() {
    clearTimeout(poll);
    const list = await (await call("GET", "processes")).json();
    processes.querySelector("tbody").replaceChildren(...list.map((p) => row([p.desc, p.stage,
      STATE_TEXTS[p.state] || String(p.state), p.state === 2 ? p.errorMsg || "" : ""])));
    processes.querySelector("table").hidden = list.length === 0;
    const active = list.filter((p) => p.state === 0 || p.state === 1).length;
    processes.querySelector(".summary").textContent = list.length === 0
      ? "Фоновых операций нет."
      : `Всего операций: ${list.length}, выполняется или ожидает: ${active}.`;
    if (active > 0) {
      documentsChanged = true;
      poll = setTimeout(followProcesses, POLL_MS);
    } else if (documentsChanged) {
      documentsChanged = false;
      await attempt("Не удалось обновить списки документов", reloadDocuments);
    }
  }

  function followProcesses() {
    return attempt("Не удалось получить список фоновых операций", loadProcesses);
  }

  function askPassword(number) {
    sendDialog.querySelector(".number").textContent = number;
    const password = sendDialog.querySelector("input[name=pwd]");
    password.value = "";
    sendDialog.returnValue = "";
    sendDialog.showModal();
    return new Promise((resolve) => sendDialog.addEventListener("close", () => {
      const entered = sendDialog.returnValue === "send" ? password.value : null;
      password.value = "";
      resolve(entered);
    }, { once: true }));
  }

  async function showAttachments(documentRow) {
    const { kind, id } = documentRow.dataset;
    const list = await (await call("GET", `${kind}/${id}/attachments`)).json();
    const items = document.createElement("ul");
    for (const attachment of list) {
      const item = items.appendChild(document.createElement("li"));
      const link = item.appendChild(document.createElement("a"));
      link.href = `${REST}${kind}/${id}/attachments/${attachment.index}`;
      link.textContent = attachment.description;
      item.append(` (${attachment.type})`);
    }
    const cell = document.createElement("td");
    cell.colSpan = documentRow.cells.length;
    cell.append(list.length === 0 ? "Вложений нет." : "Вложения:", items);
    const next = documentRow.nextElementSibling;
    if (next && next.classList.contains("attachments")) {
      next.remove();
    }
    const attachmentsRow = document.createElement("tr");
    attachmentsRow.className = "attachments";
    attachmentsRow.appendChild(cell);
    documentRow.after(attachmentsRow);
  }

  const actions = {
    async send(documentRow) {
      const pwd = await askPassword(documentRow.dataset.number);
      if (pwd !== null) {
        await call("POST", "drafts/send", JSON.stringify({ uids: [documentRow.dataset.id], pwd }));
        documentsChanged = true;
        await loadProcesses();
      }
    },
    async delete(documentRow) {
      if (confirm(`Удалить черновик № ${documentRow.dataset.number}?`)) {
        await call("DELETE", `drafts/${documentRow.dataset.id}`);
        await reloadDocuments();
      }
    },
    async receive(documentRow) {
      await call("GET", `inbox/${documentRow.dataset.id}`);
      documentsChanged = true;
      await loadProcesses();
    },
    attachments: showAttachments
  };
  const failures = {
    send: "Не удалось отправить черновик",
    delete: "Не удалось удалить черновик",
    receive: "Не удалось получить документ",
    attachments: "Не удалось получить список вложений"
  };

  document.addEventListener("click", (event) => {
    const button = event.target.closest("button[data-action]");
    if (!button) {
      return;
    }
    const action = button.dataset.action;
    showMessage("");
    attempt(failures[action], () => actions[action](button.closest("tr")));
  });
  document.getElementById("clear-processes").addEventListener("click", () => {
    showMessage("");
    attempt("Не удалось очистить список фоновых операций", async () => {
      await call("POST", "processes/clear");
      await loadProcesses();
    });
  });
  followProcesses();
})();

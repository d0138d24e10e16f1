// Plain HTTP requests to the proxy, one connection each, so that no idle keep-alive connection
// outlives a test. Node's parser is strict: it refuses an answer with both a length and chunks.
"use strict";

const http = require("http");

/** The access tokens of the proxies a test runs, by origin; requests to them carry theirs, as the user's programs do. */
const tokens = new Map();

function rememberToken(origin, token) {
  tokens.set(origin, token);
}

function forgetToken(origin) {
  tokens.delete(origin);
}

function tokenFor(url) {
  return tokens.get(new URL(url).origin);
}

function request(method, url, body, extraHeaders = {}) {
  return new Promise((resolve, reject) => {
    const headers = body === undefined ? {} : { "Content-Type": "application/json", "Content-Length": Buffer.byteLength(body) };
    const token = tokenFor(url);
    if (token) {
      headers.Authorization = `Bearer ${token}`;
    }
    Object.assign(headers, extraHeaders);
    const req = http.request(url, { method, headers, agent: false }, (res) => {
      const chunks = [];
      res.on("data", (c) => chunks.push(c));
      res.on("end", () => resolve({ status: res.statusCode, headers: res.headers, body: Buffer.concat(chunks) }));
      res.on("error", reject);
    });
    req.on("error", reject);
    req.end(body);
  });
}

async function getJson(url) {
  const answer = await request("GET", url);
  if (answer.status !== 200) {
    throw new Error(`GET ${url}: ${answer.status} ${answer.body}`);
  }
  return JSON.parse(answer.body.toString("utf8"));
}

module.exports = { request, getJson, rememberToken, forgetToken, tokenFor };

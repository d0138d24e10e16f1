// Plain HTTP requests to the proxy, one connection each, so that no idle keep-alive connection
// outlives a test. Node's parser is strict: it refuses an answer with both a length and chunks.
"use strict";

const http = require("http");

function request(method, url, body) {
  return new Promise((resolve, reject) => {
    const headers = body === undefined ? {} : { "Content-Type": "application/json", "Content-Length": Buffer.byteLength(body) };
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

module.exports = { request, getJson };

// Opens a grading report in headless Chromium (Debian's) through the
// DevTools protocol and checks what a teacher sees: the number of rows and
// that every picture on the page loads.
// Usage: node --experimental-websocket report_in_browser.js REPORT/index.html ROWS
"use strict";
const { spawn } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const [page, rows] = [path.resolve(process.argv[2]), Number(process.argv[3])];
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "dovra-report-browser-"));
const browser = spawn("/usr/bin/chromium", [
  "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync",
  "--remote-debugging-port=0", "--user-data-dir=" + profile, "about:blank",
], { stdio: "ignore" });

let finishing = false;
function finish(code, message) {
  if (finishing) return;
  finishing = true;
  console.log(message);
  // The profile goes once the browser has ended (it writes there until then).
  const done = () => {
    try {
      fs.rmSync(profile, { recursive: true, force: true });
    } catch (e) {
      console.log("note: the browser's profile " + profile + " is left: " + e.message);
    }
    process.exit(code);
  };
  if (browser.exitCode !== null || browser.signalCode !== null) done();
  browser.once("exit", done);
  browser.kill("SIGKILL");
}
setTimeout(() => finish(1, "FAIL: the browser did not answer within 60 s"), 60000);

async function port() {
  const file = path.join(profile, "DevToolsActivePort");
  for (let i = 0; i < 300; i++) {
    if (fs.existsSync(file)) {
      const [number] = fs.readFileSync(file, "utf8").split("\n");
      if (number) return number;
    }
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error("no DevTools port");
}

async function main() {
  const base = "http://127.0.0.1:" + (await port());
  const target = await (await fetch(base + "/json/new?about:blank", { method: "PUT" })).json();
  const socket = new WebSocket(target.webSocketDebuggerUrl);
  await new Promise((r) => socket.addEventListener("open", r));
  let id = 0;
  const waiting = new Map();
  const events = [];
  socket.addEventListener("message", (m) => {
    const message = JSON.parse(m.data);
    if (message.id && waiting.has(message.id)) waiting.get(message.id)(message);
    else events.push(message.method);
  });
  const send = (method, params = {}) =>
    new Promise((r) => {
      waiting.set(++id, r);
      socket.send(JSON.stringify({ id, method, params }));
    });
  await send("Page.enable");
  await send("Page.navigate", { url: "file://" + page });
  for (let i = 0; i < 200 && !events.includes("Page.loadEventFired"); i++) {
    await new Promise((r) => setTimeout(r, 50));
  }
  const answer = await send("Runtime.evaluate", {
    returnByValue: true,
    expression: `(() => {
      const images = [...document.images];
      return { rows: document.querySelectorAll("tr").length - 1,
               images: images.length,
               broken: images.filter((i) => !i.complete || i.naturalWidth === 0).map((i) => i.src) };
    })()`,
  });
  const seen = answer.result.result.value;
  if (seen.rows !== rows) finish(1, `FAIL: the report shows ${seen.rows} rows, not ${rows}`);
  if (seen.images === 0 || seen.broken.length)
    finish(1, `FAIL: ${seen.broken.length} of ${seen.images} pictures do not load: ${seen.broken.slice(0, 3)}`);
  finish(0, `report in the browser: ${seen.rows} rows, all ${seen.images} pictures load`);
}
main().catch((e) => finish(1, "FAIL: " + e.message));

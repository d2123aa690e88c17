// A small DevTools-protocol client: headless Chromium started on a free
// port, one page, commands as promises, events by name. Debian's node-ws is
// the only module it needs.
"use strict";
const { spawn } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");
const WebSocket = require("ws");

async function launch(chromium) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "lumiq-chromium-"));
  const child = spawn(chromium, [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run", "--no-default-browser-check",
    "--disable-extensions", "--disable-background-networking", "--disable-component-update",
    "--remote-debugging-port=0", "--user-data-dir=" + profile, "--window-size=1000,800",
    "--lang=zh-CN", "about:blank",
  ], { stdio: ["ignore", "ignore", "pipe"] });
  let stderr = "";
  child.stderr.on("data", (chunk) => { stderr += chunk; });
  const portFile = path.join(profile, "DevToolsActivePort");
  const started = Date.now();
  while (!fs.existsSync(portFile) || fs.readFileSync(portFile, "utf8").split("\n").length < 2) {
    if (child.exitCode !== null || Date.now() - started > 30000) {
      throw new Error("chromium did not start: " + stderr.slice(-2000));
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  const port = fs.readFileSync(portFile, "utf8").split("\n")[0].trim();
  return {
    port,
    async newPage() {
      const response = await fetch("http://127.0.0.1:" + port + "/json/new?about:blank", { method: "PUT" });
      const target = await response.json();
      return connect(target.webSocketDebuggerUrl, target.id, port);
    },
    close() {
      child.kill("SIGTERM");
      try { fs.rmSync(profile, { recursive: true, force: true }); } catch (e) { /* still in use */ }
    },
  };
}

function connect(url, targetId, port) {
  return new Promise((resolve, reject) => {
    const socket = new WebSocket(url, { perMessageDeflate: false, maxPayload: 256 * 1024 * 1024 });
    let next = 1;
    const pending = new Map();
    const listeners = [];
    socket.on("message", (data) => {
      const message = JSON.parse(data);
      if (message.id && pending.has(message.id)) {
        const { resolve: done, reject: fail } = pending.get(message.id);
        pending.delete(message.id);
        if (message.error) fail(new Error(message.error.message));
        else done(message.result);
      } else if (message.method) {
        for (const listener of listeners.slice()) listener(message);
      }
    });
    socket.on("error", reject);
    socket.on("open", () => resolve({
      send(method, params) {
        const id = next++;
        socket.send(JSON.stringify({ id, method, params: params || {} }));
        return new Promise((done, fail) => pending.set(id, { resolve: done, reject: fail }));
      },
      once(method, timeoutMs) {
        return new Promise((done, fail) => {
          const timer = setTimeout(() => fail(new Error("no " + method)), timeoutMs || 30000);
          const listener = (message) => {
            if (message.method !== method) return;
            listeners.splice(listeners.indexOf(listener), 1);
            clearTimeout(timer);
            done(message.params);
          };
          listeners.push(listener);
        });
      },
      on(method, callback) { listeners.push((m) => { if (m.method === method) callback(m.params); }); },
      async evaluate(expression, timeoutMs) {
        const result = await this.send("Runtime.evaluate",
          { expression, awaitPromise: true, returnByValue: true, timeout: timeoutMs || 120000 });
        if (result.exceptionDetails) {
          const d = result.exceptionDetails;
          throw new Error((d.exception && d.exception.description) || d.text);
        }
        return result.result.value;
      },
      async close() {
        socket.close();
        await fetch("http://127.0.0.1:" + port + "/json/close/" + targetId).catch(() => {});
      },
    }));
  });
}

module.exports = { launch };

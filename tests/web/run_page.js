// The page in headless Chromium on stand-in scanners (standin-hid.js, the
// simulated scanner compiled to WebAssembly, injected before the page
// loads), so the page's WebHID backend moves every report. Each scenario
// is one of the desktop runner's: with the Linux lumiq-headless given, both
// run it and must print the same messages, leave the same scanner trace and
// write the same profiles. Also: the browser without WebHID, a permission
// failure, the picker asked for only once, screenshots, and the benchmark.
//
// node tests/web/run_page.js --page build-web/page --work DIR
//      [--headless build/ui/qt/lumiq-headless] [--screenshots DIR] [--bench]
//      [--no-scenarios]   (the other checks, screenshots and benchmark only)
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");
const { execFileSync, spawnSync } = require("child_process");
const { launch } = require("./cdp");

const args = {};
for (let i = 2; i < process.argv.length; i++) {
  const word = process.argv[i];
  if (word === "--bench" || word === "--no-scenarios") args[word.slice(2)] = true;
  else args[word.replace(/^--/, "")] = process.argv[++i];
}
const pageDir = path.resolve(args.page || "build-web/page");
const work = path.resolve(args.work || "build-web/page-tests");
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(path.join(work, "web"), { recursive: true });
fs.mkdirSync(path.join(work, "linux"), { recursive: true });

let failures = 0;
let passes = 0;
function check(ok, what, detail) {
  if (ok) { passes++; return; }
  failures++;
  console.log("FAIL " + what + (detail ? "\n" + detail : ""));
}

// --- the page, served from its folder on the loopback ---
const TYPES = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
  ".wasm": "application/wasm", ".svg": "image/svg+xml" };
function serve() {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname).replace(/^\/+/, "") || "index.html";
    const file = path.join(pageDir, path.normalize(name));
    if (!file.startsWith(pageDir) || !fs.existsSync(file)) { response.writeHead(404); response.end(); return; }
    response.writeHead(200, { "Content-Type": TYPES[path.extname(file)] || "application/octet-stream" });
    response.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// --- seeds and scenarios, the Windows stage's own where they overlap ---
const common = ["masterver=V2.0.7", "deviceno=\\xB2\\xD6\\xBF\\xE2-7", "codeprefix=\\xFF\\x81",
  "codepostfix=\\xB2", "contentorder=PREFIX,CONTENT,POSTFIX,ENTER"];
const files = {
  "seed-com1.txt": common.concat(["io_outputs=com1", "io_inits=com1,hid1", "io_monitors=com1",
    "com1_baudrate=115200", "com1_stopbits=1", "com1_bytesizes=8", "com1_paritys=NONE"]).join("\n") + "\n",
  "seed-second.txt": "masterver=V2.0.8\ndeviceno=\\xB2\\xD6\\xBF\\xE2-8\nio_outputs=hid0\n",
  "seed-import.txt": "# another counter's scanner\ncodeprefix=\\xC7\\xB0\nio_outputs=hid0\nhid0_presskeytime=30\n",
  "seed-import-switch.txt": "io_outputs=com1\n",
  "seed-import-bad.txt": "qrcode=1\nno equals sign here\n",
};
const scenarios = [
  { name: "connect-fails", status: 1, options: ["--silent-from", "1"], actions: ["save"] },
  { name: "every-page-edited", status: 0, actions: [
    "uncheck:130:1033", "check:130:1093",
    "tab:1", "text:133:1103=ZR-Test", "text:133:1150=仓库", "text:133:1043=WPAPSK", "text:133:1153=TKIP",
    "text:133:1154=pa55#word", "text:133:1155=10.0.0.9", "text:133:1156=9a2b00", "text:133:1157=/scan?x=1",
    "check:133:1151", "check:133:1212",
    "tab:2", "check:132:1061", "uncheck:132:1060", "check:132:1104", "text:132:1063=前缀", "text:132:1001=7F",
    "check:132:1207", "check:132:1235", "check:132:1249", "text:132:1221=4a5", "text:132:1220=12",
    "tab:3", "check:131:1100", "text:131:1001=1500", "check:131:1219", "uncheck:131:1073", "check:131:1246",
    "check:131:1192", "check:131:1199", "check:131:1213", "check:131:1210", "check:131:1223",
    "text:131:1216=2", "text:131:1215=9",
    "tab:4", "text:137:1103=仓库7号", "save", "save", "exit"] },
  { name: "channel-com1", status: 0, options: ["--seed", "seed-com1.txt"], actions: [
    "text:133:1067=57600", "text:133:1068=2", "text:133:1069=7", "text:133:1070=EVEN", "save"] },
  { name: "profile-transfer", status: 0, options: ["--seed", "seed-com1.txt"], actions: [
    "export:before.profile", "import:seed-import.txt", "save", "export:after.profile"] },
  { name: "import-channel-switch", status: 0, actions: [
    "import:seed-import-switch.txt", "save", "export:switch.profile"] },
  { name: "two-scanners", status: 0, options: ["--seed", "seed-com1.txt", "--seed", "seed-second.txt"],
    actions: ["pick:2", "export:second.profile", "exit", "unplug:1", "connect", "exit", "plug:1", "connect",
      "pick:1", "text:137:1103=仓库-1", "save"] },
  // The cable pulled while the window is open: the page hears of it and
  // every set fails at once, as on the desktop.
  { name: "unplugged-save", status: 0, actions: ["tab:3", "unplug:1", "save", "exit", "plug:1", "connect"] },
  // A browser whose first language is English: every message in English,
  // the same commands sent.
  { name: "english-files", status: 0, language: "en-US", options: ["--lang", "en", "--seed", "seed-com1.txt"],
    actions: ["import:seed-import-bad.txt", "export:english.profile", "text:137:1103=仓库😀",
      "export:refused.profile", "save"] },
];

function standInOptions(scenario, extra) {
  const seeds = [];
  let silentFrom = 0;
  const options = scenario.options || [];
  for (let i = 0; i < options.length; i++) {
    if (options[i] === "--seed") seeds.push(files[options[++i]]);
    else if (options[i] === "--lang") i++;
    else if (options[i] === "--silent-from") silentFrom = Number(options[++i]);
  }
  return Object.assign({ seeds: seeds.length ? seeds : [""], silentFrom }, extra || {});
}

const pageScripts = ["lumiq-sim.js", "standin-hid.js"].map((f) => fs.readFileSync(path.join(pageDir, f), "utf8"));
const driver = fs.readFileSync(path.join(__dirname, "page_driver.js"), "utf8");

// A fresh page with the stand-in plugged in before any of the page's code.
async function openPage(browser, url, options, before, language) {
  const page = await browser.newPage();
  await page.send("Page.enable");
  await page.send("Runtime.enable");
  // The windows speak the browser's first language: Chinese, as the
  // desktop runner's.
  const userAgent = await page.evaluate("navigator.userAgent");
  await page.send("Network.setUserAgentOverride", { userAgent, acceptLanguage: language || "zh-CN" });
  const logs = [];
  page.on("Runtime.exceptionThrown", (e) => logs.push(e.exceptionDetails.exception
    ? e.exceptionDetails.exception.description : e.exceptionDetails.text));
  page.on("Runtime.consoleAPICalled", (e) => {
    if (e.type === "error") logs.push(e.args.map((a) => a.value || a.description).join(" "));
  });
  const install = options ? pageScripts.concat([
    "window.LumiqStandIn.install(" + JSON.stringify(options) + ");"]) : [];
  await page.send("Page.addScriptToEvaluateOnNewDocument",
    { source: (before || "") + install.join("\n;\n") + "\n;\n" + driver });
  const loaded = page.once("Page.loadEventFired");
  await page.send("Page.navigate", { url });
  await loaded;
  page.logs = logs;
  return page;
}

function runLinux(scenario) {
  if (!args.headless) return null;
  const dir = path.join(work, "linux");
  for (const [name, text] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), text);
  const trace = scenario.name + ".trace";
  fs.rmSync(path.join(dir, trace), { force: true });
  const result = spawnSync(path.resolve(args.headless),
    ["--trace", trace].concat(scenario.options || [], scenario.actions),
    { cwd: dir, env: Object.assign({}, process.env, { QT_QPA_PLATFORM: "offscreen" }), encoding: "utf8" });
  return { status: result.status, out: result.stdout, trace: fs.readFileSync(path.join(dir, trace), "utf8") };
}

async function runScenario(browser, origin, scenario) {
  const page = await openPage(browser, origin + "/index.html", standInOptions(scenario), "", scenario.language);
  const encoded = {};
  for (const [name, text] of Object.entries(files)) encoded[name] = Buffer.from(text).toString("base64");
  const result = await page.evaluate("LumiqDriver.run(" + JSON.stringify(scenario.actions) + "," +
    JSON.stringify(encoded) + ")", 300000);
  await page.close();
  const out = result.lines.map((l) => l + "\n").join("");
  fs.writeFileSync(path.join(work, "web", scenario.name + ".out"), out);
  fs.writeFileSync(path.join(work, "web", scenario.name + ".trace"), result.trace);
  for (const [name, base64] of Object.entries(result.exports)) {
    fs.writeFileSync(path.join(work, "web", name), Buffer.from(base64, "base64"));
  }
  check(result.violations.length === 0, scenario.name + ": the stand-in refused reports", result.violations.join("\n"));
  check(page.logs.length === 0, scenario.name + ": errors in the page", page.logs.join("\n"));
  check(result.trace.length > 0, scenario.name + ": the scanner received nothing");
  const linux = runLinux(scenario);
  if (linux) {
    check(linux.status === scenario.status, scenario.name + ": the Linux runner ended with " + linux.status);
    check(linux.trace === result.trace, scenario.name + ": the page's scanner trace differs from the Linux runner's",
      diff(linux.trace, result.trace));
    // WebHID tells no USB port: the chooser's rows say so where Linux names one.
    const ports = (text) => text.replace(/^(CHOICE \d+ )\S+ \S+/mg, "$1PORT");
    check(ports(linux.out) === ports(out), scenario.name + ": the page's messages differ from the Linux runner's", diff(ports(linux.out), ports(out)));
    for (const name of Object.keys(result.exports)) {
      const theirs = path.join(work, "linux", name);
      const same = fs.existsSync(theirs) && Buffer.compare(fs.readFileSync(theirs), Buffer.from(result.exports[name], "base64")) === 0;
      check(same, scenario.name + ": the page's " + name + " differs from the Linux runner's");
    }
  }
  console.log("-- scenario " + scenario.name + ": " + result.trace.split("\n").filter(Boolean).length +
    " commands, " + result.lines.length + " messages, " + Object.keys(result.exports).length + " exported" +
    (linux ? ", same as Linux" : ""));
  return result;
}

function diff(a, b) {
  const x = a.split("\n"), y = b.split("\n");
  for (let i = 0; i < Math.max(x.length, y.length); i++) {
    if (x[i] !== y[i]) return "  line " + (i + 1) + ":\n  linux: " + x[i] + "\n  page:  " + y[i];
  }
  return "";
}

// One message box after "连接设备", in a page set up by `before`.
async function connectMessage(browser, origin, options, before) {
  const page = await openPage(browser, origin + "/index.html", options, before);
  const result = await page.evaluate(
    "(async () => { while (!window.Module || !Module.lumiqUi || !document.getElementById('c102_1')) " +
    "await new Promise(r => setTimeout(r, 5)); document.getElementById('c102_1').click(); " +
    "await LumiqDriver.settle(); return LumiqDriver.lines.slice(); })()");
  await page.close();
  return result;
}

async function main() {
  const server = await serve();
  const origin = "http://127.0.0.1:" + server.address().port;
  const browser = await launch(args.chromium || "chromium");
  try {
    if (!args["no-scenarios"]) for (const scenario of scenarios) await runScenario(browser, origin, scenario);

    // Firefox and Safari: no navigator.hid. The message names the browsers
    // that have it.
    const missing = await connectMessage(browser, origin, null, "delete Navigator.prototype.hid;\n");
    check(missing.length === 1 && /Chrome/.test(missing[0]) && /Edge/.test(missing[0]) && /Chromium/.test(missing[0]),
      "without WebHID: the message does not name the browsers that have it", missing.join("\n"));
    // The browser's own WebHID, with no scanner granted and none to pick:
    // its refusals end as "no scanner", nothing thrown.
    const real = await connectMessage(browser, origin, null, "");
    check(real.length === 1 && /未找到设备/.test(real[0]),
      "the browser's own WebHID without a scanner: not the no-scanner message", JSON.stringify(real));
    // Linux without the udev rule: the browser may not open the scanner.
    const denied = await connectMessage(browser, origin, { seeds: [""], deny: true });
    check(denied.length === 1 && /udev/.test(denied[0]) && /70-lumiq-scanner\.rules/.test(denied[0]),
      "permission failure: the message does not name the udev rule", denied.join("\n"));

    // The picker is asked for only while no scanner is granted.
    const page = await openPage(browser, origin + "/index.html", { seeds: [""] });
    const pickers = await page.evaluate(
      "LumiqDriver.run(['exit', 'connect', 'exit']).then(r => r.stats.pickers)");
    await page.close();
    check(pickers === 1, "a granted scanner was asked for with the picker again (" + pickers + " pickers)");

    await accessibility(browser, origin);
    if (args.screenshots) await screenshots(browser, origin);
    if (args.bench) await bench(browser, origin);
  } finally {
    browser.close();
    server.close();
  }
  console.log(passes + " passed, " + failures + " failed");
  process.exit(failures ? 1 : 0);
}

// What a screen reader gets: every field and check box named as the desktop
// windows name it (ui/app/access_layout), each radio button by its caption
// inside a radio group named by its label, the tabs as a tab list, and the
// windows inert while an exchange runs.
async function accessibility(browser, origin) {
  const page = await openPage(browser, origin + "/index.html", { seeds: [""] });
  await page.evaluate("LumiqDriver.run([])");
  const inert = await page.evaluate("(() => { document.getElementById('c134_1141').click(); " +
    "return document.getElementById('lumiq').inert; })()");
  check(inert === true, "the windows stay usable while Save talks to the scanner");
  await page.evaluate("LumiqDriver.settle()");
  await page.send("DOM.enable");
  await page.send("Accessibility.enable");
  const document = await page.send("DOM.getDocument", { depth: 0 });
  const normal = (text) => String(text || "").replace(/[\s:：]/g, "");
  const axOf = async (selector) => {
    const found = await page.send("DOM.querySelector", { nodeId: document.root.nodeId, selector });
    if (!found.nodeId) return null;
    const tree = await page.send("Accessibility.getPartialAXTree", { nodeId: found.nodeId, fetchRelatives: false });
    const node = tree.nodes.find((n) => !n.ignored) || tree.nodes[0];
    return { role: node.role && node.role.value, name: node.name ? node.name.value : "" };
  };
  const tabs = JSON.parse(await page.evaluate("Module.ccall('lumiq_tabs', 'string', [], [])"));
  let named = 0;
  for (let tab = 0; tab < tabs.length; tab++) {
    const templateId = tabs[tab][0];
    await page.evaluate("document.getElementById('tab" + tab + "').click()");
    const tabNode = await axOf("#tab" + tab);
    check(tabNode && tabNode.role === "tab" && tabNode.name === tabs[tab][1], "tab " + tab + " is no named tab");
    const panel = await axOf("#page" + templateId);
    check(panel && panel.role === "tabpanel" && panel.name === tabs[tab][1], "page " + templateId + " is no tab panel named by its tab");
    const dialog = JSON.parse(await page.evaluate("Module.ccall('lumiq_dialog', 'string', ['number'], [" + templateId + "])"));
    for (const control of dialog.controls) {
      if (!["edit", "combo", "check", "radio"].includes(control.kind) || control.id < 0) continue;
      const selector = "#c" + templateId + "_" + control.id;
      const visible = await page.evaluate("(() => { const e = document.querySelector('" + selector + "'); " +
        "return Boolean(e && e.getClientRects().length); })()");
      if (!visible) continue;
      const node = await axOf(selector);
      const what = "template " + templateId + " control " + control.id;
      if (control.kind === "radio") {
        check(node && node.role === "radio" && normal(node.name) === normal(control.caption), what + ": radio named " + (node && node.name));
        const group = await page.evaluate("(() => { const g = document.querySelector('" + selector + "').closest('[role=radiogroup]'); " +
          "return g ? g.getAttribute('aria-labelledby') || '' : null; })()");
        check(group !== null && (control.label < 0 || group !== ""), what + ": radio button outside a named radio group");
      } else {
        check(node && normal(node.name) === normal(control.name),
          what + ": named \"" + (node && node.name) + "\", the desktop names it \"" + control.name + "\"");
      }
      if (process.env.LUMIQ_AX_VERBOSE) console.log(what, control.kind, JSON.stringify(node), JSON.stringify(control.name));
      named++;
    }
  }
  const list = await axOf("[role=tablist]");
  check(list && list.role === "tablist", "the tabs are no tab list");
  await page.close();
  console.log("-- accessibility: " + named + " controls named as on the desktop");
}

// The demo's windows, every tab, as docs/screenshots/web/ shows them.
async function screenshots(browser, origin) {
  const dir = path.resolve(args.screenshots);
  fs.mkdirSync(dir, { recursive: true });
  const page = await openPage(browser, origin + "/index.html?demo", null, "");
  await page.send("Emulation.setDeviceMetricsOverride", { width: 800, height: 720, deviceScaleFactor: 1, mobile: false });
  const shoot = async (name) => {
    const shot = await page.send("Page.captureScreenshot", { format: "png" });
    fs.writeFileSync(path.join(dir, name), Buffer.from(shot.data, "base64"));
  };
  await page.evaluate("(async () => { while (!window.Module || !Module.lumiqUi || !document.getElementById('c102_1')) " +
    "await new Promise(r => setTimeout(r, 5)); })()");
  await shoot("connect.png");
  await page.evaluate("(() => { document.querySelector('.windowmenu').click(); " +
    "document.querySelector('[role=menuitem]').click(); })()");
  await shoot("about.png");
  await page.evaluate("document.getElementById('c100_1').click()");
  await page.evaluate("(async () => { document.getElementById('c102_1').click(); " +
    "while (!document.getElementById('c134_1141')) { if (Module.lumiqUi.messageOpen()) Module.lumiqUi.acceptMessage(); " +
    "await new Promise(r => setTimeout(r, 5)); } await LumiqDriver.settle(); })()");
  for (let tab = 0; tab < 5; tab++) {
    await page.evaluate("document.getElementById('tab" + tab + "').click()");
    await shoot("settings-tab" + tab + ".png");
  }
  await page.close();
  console.log("-- screenshots in " + dir);
}

// Load ("连接设备": handshake, version and the pages' reads) and Save
// through the stand-in at 1 ms a report, against the floor: what the
// reports' crossing alone takes. The message boxes are answered at once, so
// the figure is the application's, not the operator's.
async function bench(browser, origin) {
  const page = await openPage(browser, origin + "/index.html", { seeds: [""], paceMs: 1, granted: true });
  const runs = 6;  // the first one warms up
  const figure = await page.evaluate(`(async () => {
    const standIn = LumiqStandIn.current;
    while (!window.Module || !Module.lumiqUi || !document.getElementById('c102_1')) await new Promise(r => setTimeout(r, 5));
    Module.lumiqUi.message = async () => {};
    const measure = async (name) => {
      const before = standIn.stats();
      const start = performance.now();
      await Module.ccall(name, 'number', [], [], { async: true });
      const ms = performance.now() - start;
      const after = standIn.stats();
      return { ms, reports: after.reports - before.reports, slept: after.sleptMs - before.sleptMs };
    };
    const loads = [], saves = [];
    for (let i = 0; i < ${runs}; i++) {
      loads.push(await measure('lumiq_connect'));
      saves.push(await measure('lumiq_save'));
      Module.ccall('lumiq_exit_settings', null, [], []);
    }
    return { Load: loads, Save: saves };
  })()`, 600000);
  await page.close();
  for (const [name, runsMeasured] of Object.entries(figure)) {
    // The first run warms the page up (compiling, the first windows' build).
    const list = runsMeasured.slice(1);
    if (process.env.LUMIQ_BENCH_VERBOSE) console.log(JSON.stringify(runsMeasured));
    // The median run: the machine is shared, and a run the scheduler
    // delayed says nothing about the page.
    const ratios = list.map((r) => (r.ms - r.slept + r.reports) / r.reports).sort((a, b) => a - b);
    const median = list.slice().sort((a, b) => a.ms - b.ms)[Math.floor(list.length / 2)];
    console.log("bench: page " + name + ": " + median.ms.toFixed(1) + " ms for " + median.reports +
      " reports at 1 ms a report (floor " + median.reports + " ms, the stand-in's waits " + median.slept.toFixed(1) +
      " ms): ratio " + ratios[Math.floor(ratios.length / 2)].toFixed(3) + " (median of " + list.length + " runs; goal 1.05)");
  }
}

main().catch((error) => { console.error(error); process.exit(1); });

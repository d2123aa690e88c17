// Injected into the page by the tests (tests/web/run_page.js): carries out
// the desktop runner's actions (ui/app/user_action.h) on the page's
// elements as the operator's mouse and keyboard would, answers every
// message box with OK and records it as the runner prints it.
(function (global) {
  "use strict";
  const SETTINGS = 134, CONNECT = 102, CHOOSER = 103;
  const NUMBER_ONLY = 16;
  const lines = [];
  const exports = {};

  function ui() { return global.Module && global.Module.lumiqUi; }
  function element(templateId, id) { return document.getElementById("c" + templateId + "_" + id); }
  function sleep(ms) { return new Promise((resolve) => setTimeout(resolve, ms)); }
  function messageLine(text) { return "MESSAGE " + text.replace(/\n/g, "\\n"); }

  // Until the application is idle: every message box answered, in order.
  async function settle() {
    let quiet = 0;
    while (quiet < 3) {
      if (ui().messageOpen()) {
        lines.push(messageLine(document.getElementById("lumiq-message-text").textContent));
        ui().acceptMessage();
        quiet = 0;
      } else if (ui().isBusy()) {
        quiet = 0;
      } else {
        quiet++;
      }
      await sleep(quiet ? 2 : 1);
    }
  }

  function usable(e) {
    const box = e.type === "checkbox" || e.type === "radio" ? e.parentElement : e;
    return !box.hidden && !e.disabled;
  }

  function numberOnly(templateId, id) {
    const dialog = JSON.parse(global.Module.ccall("lumiq_dialog", "string", ["number"], [templateId]));
    const control = dialog.controls.find((c) => c.id === id);
    return Boolean(control && control.style & NUMBER_ONLY);
  }

  async function run(word, files) {
    let m;
    if ((m = /^(check|uncheck):(\d+):(\d+)$/.exec(word))) {
      const e = element(m[2], m[3]);
      const want = m[1] === "check";
      if (!e || !usable(e)) return;
      if (e.type === "radio" && !want) return;
      if (e.checked !== want) e.click();
    } else if ((m = /^text:(\d+):(\d+)=(.*)$/s.exec(word))) {
      const e = element(m[1], m[2]);
      if (!e || !usable(e)) return;
      // Keystroke by keystroke through the control's own checks.
      let value = "";
      for (const character of m[3]) {
        if (numberOnly(Number(m[1]), Number(m[2])) && !/[0-9]/.test(character)) continue;
        value += character;
      }
      e.focus();
      e.value = value;
      e.dispatchEvent(new Event("input", { bubbles: true }));
    } else if ((m = /^tab:(\d+)$/.exec(word))) {
      document.getElementById("tab" + m[1]).click();
    } else if (word === "save") {
      element(SETTINGS, 1141).click();
    } else if (word === "exit") {
      element(SETTINGS, 1041).click();
    } else if (word === "connect") {
      element(CONNECT, 1).click();
    } else if ((m = /^pick:(\d+)$/.exec(word))) {
      const list = element(CHOOSER, 1005);
      if (!list) return;
      list.selectedIndex = Number(m[1]) - 1;
      list.dispatchEvent(new KeyboardEvent("keydown", { key: "Enter", bubbles: true }));
    } else if ((m = /^(unplug|plug):(\d+)$/.exec(word))) {
      global.LumiqStandIn.current[m[1]](Number(m[2]));
    } else if ((m = /^import:(.*)$/s.exec(word))) {
      const bytes = Uint8Array.from(atob(files[m[1]] || ""), (c) => c.charCodeAt(0));
      const input = document.getElementById("lumiq-import");
      element(SETTINGS, 1142).click();
      const transfer = new DataTransfer();
      transfer.items.add(new File([bytes], m[1]));
      input.files = transfer.files;
      input.dispatchEvent(new Event("change", { bubbles: true }));
    } else if ((m = /^export:(.*)$/s.exec(word))) {
      element(SETTINGS, 1143).click();
      document.getElementById("lumiq-export-name").value = m[1];
      document.getElementById("lumiq-export-kind").value = "0";
      document.querySelector("#lumiq-export button[value=ok]").click();
      await settle();
      const exported = ui().lastExport();
      if (exported && exported.name === m[1]) {
        exports[m[1]] = btoa(String.fromCharCode.apply(null, exported.bytes));
      }
    } else {
      throw new Error("unknown action " + word);
    }
    await sleep(1);
    await settle();
    const list = word === "connect" ? element(CHOOSER, 1005) : null;
    if (list) {
      Array.from(list.options).forEach((row, i) => lines.push("CHOICE " + (i + 1) + " " + row.textContent));
    }
  }

  global.LumiqDriver = {
    // Connects as the runner does, then the actions in order.
    async run(actions, files) {
      while (!ui() || !element(CONNECT, 1)) await sleep(5);
      await run("connect", files);
      // A connect that failed ends the run, as it ends the desktop runner.
      if (element(SETTINGS, 1141) || element(CHOOSER, 1005)) {
        for (const word of actions) await run(word, files);
      }
      return { lines, exports, trace: global.LumiqStandIn.current.trace(),
        violations: global.LumiqStandIn.current.violations(), stats: global.LumiqStandIn.current.stats() };
    },
    settle,
    lines,
  };
})(window);

// The page's windows: the desktop dialogs built as HTML from the same
// templates (ui/web/dialog_json.h gives them as JSON), the controls the page
// logic reads and sets by template and id (web_page_controls.cpp), the
// message boxes, and the operator's clicks handed to the application
// (web_app.cpp). While the application talks to the scanner the windows
// are inert: one exchange at a time, as on the desktop.
Module.lumiqUi = (function () {
  "use strict";
  const LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const STYLE = { groupStart: 1, disabled: 2, hidden: 4, password: 8, numberOnly: 16,
    sorted: 32, tabStop: 64, defaultButton: 128, border: 256 };
  // Template and control ids and where the pages start below the tab
  // control, as the application's headers define them; asked for once the
  // module runs.
  let ids = null;
  function id() {
    if (!ids) ids = JSON.parse(Module.ccall("lumiq_ids", "string", [], []));
    return ids;
  }

  const log = [];        // every message shown, for tests and bug reports
  let busy = 0;
  let pendingMessages = [];
  let lastExport = null;
  let demo = false;

  function text(key) { return Module.ccall("lumiq_text", "string", ["string"], [key]); }
  // The templates never change, nor does the language once the page started.
  const dialogs = {};
  function dialogOf(id) {
    if (!dialogs[id]) dialogs[id] = JSON.parse(Module.ccall("lumiq_dialog", "string", ["number"], [id]));
    return dialogs[id];
  }

  function mulDiv(a, b, c) {
    const product = a * b;
    const magnitude = Math.floor((Math.abs(product) + Math.floor(Math.abs(c) / 2)) / Math.abs(c));
    return (product < 0) !== (c < 0) ? -magnitude : magnitude;
  }

  // The installed faces stand in for the templates' Windows fonts.
  function family(face) {
    const chinese = '"Microsoft YaHei", "WenQuanYi Micro Hei", "Noto Sans CJK SC", "PingFang SC", sans-serif';
    if (face === "宋体") return 'SimSun, "WenQuanYi Micro Hei", ' + chinese;
    return chinese;
  }

  // Dialog units to CSS pixels as Windows maps them for the dialog's font:
  // a quarter of the average Latin letter, an eighth of the font's height.
  const unitsCache = {};
  function unitsOf(dialog) {
    const key = dialog.font + "/" + dialog.points;
    if (unitsCache[key]) return unitsCache[key];
    const px = mulDiv(dialog.points, 96, 72);
    const font = px + "px " + family(dialog.font);
    const context = document.createElement("canvas").getContext("2d");
    context.font = font;
    const metrics = context.measureText(LETTERS);
    const height = Math.round((metrics.fontBoundingBoxAscent || px) + (metrics.fontBoundingBoxDescent || px / 4));
    const units = { x: Math.floor((Math.floor(Math.round(metrics.width) / 26) + 1) / 2), y: height, font };
    unitsCache[key] = units;
    return units;
  }

  function place(element, rect, units) {
    element.style.left = mulDiv(rect[0], units.x, 4) + "px";
    element.style.top = mulDiv(rect[1], units.y, 8) + "px";
    element.style.width = mulDiv(rect[2], units.x, 4) + "px";
    element.style.height = mulDiv(rect[3], units.y, 8) + "px";
  }

  function elementId(templateId, control) {
    return control.id >= 0 ? "c" + templateId + "_" + control.id : "c" + templateId + "_n" + control.index;
  }
  function find(templateId, id) { return document.getElementById("c" + templateId + "_" + id); }
  // The element that carries a check box's or radio button's caption.
  function captionOf(element) { return element.parentElement; }

  function menuText(caption) { return caption.replace(/\(&(.)\)/, "($1)").replace(/&(.)/, "$1"); }

  // Builds the controls of `dialog` into `host`, in the keyboard's order.
  function buildControls(dialog, host) {
    const units = unitsOf(dialog);
    host.style.font = units.font;
    const byIndex = {};
    for (const control of dialog.controls) byIndex[control.index] = control;
    // What each label names: a field's label becomes its <label for>.
    const names = {};
    for (const control of dialog.controls) {
      if (control.label >= 0 && control.kind !== "radio") names[control.label] = control;
    }
    let group = null, groupNumber = -1;
    const built = { units, radios: {}, defaultButton: null };
    for (const control of dialog.controls) {
      const id = elementId(dialog.id, control);
      let element, box;
      let parent = host;
      if (control.kind === "radio") {
        if (control.group !== groupNumber) {
          groupNumber = control.group;
          group = document.createElement("div");
          group.setAttribute("role", "radiogroup");
          group.className = "radiogroup";
          if (control.label >= 0) group.setAttribute("aria-labelledby", elementId(dialog.id, byIndex[control.label]));
          host.appendChild(group);
          built.radios[groupNumber] = [];
        }
        parent = group;
      } else {
        groupNumber = -1;
      }
      switch (control.kind) {
        case "button":
          element = box = document.createElement("button");
          element.type = "button";
          element.textContent = control.caption;
          if (control.style & STYLE.defaultButton) built.defaultButton = element;
          break;
        case "check":
        case "radio": {
          box = document.createElement("span");
          box.className = control.kind;
          element = document.createElement("input");
          element.type = control.kind === "check" ? "checkbox" : "radio";
          const caption = document.createElement("label");
          caption.htmlFor = id;
          caption.id = id + "_caption";
          caption.textContent = control.caption;
          box.append(element, caption);
          if (control.kind === "radio") {
            built.radios[groupNumber].push(element);
            element.dataset.group = dialog.id + "_" + groupNumber;
          }
          break;
        }
        case "edit":
          element = box = document.createElement("input");
          element.type = control.style & STYLE.password ? "password" : "text";
          element.autocomplete = "off";
          element.spellcheck = false;
          if (control.style & STYLE.numberOnly) {
            element.inputMode = "numeric";
            element.dataset.digits = "";
          }
          if (!(control.style & STYLE.border)) element.classList.add("borderless");
          break;
        case "combo": {
          element = box = document.createElement("input");
          element.type = "text";
          element.autocomplete = "off";
          element.setAttribute("role", "combobox");
          const list = document.createElement("datalist");
          list.id = id + "_items";
          for (const item of control.items) {
            const option = document.createElement("option");
            option.value = item;
            list.appendChild(option);
          }
          element.setAttribute("list", list.id);
          host.appendChild(list);
          break;
        }
        case "label":
          element = box = document.createElement(names[control.index] ? "label" : "span");
          element.className = "label";
          element.textContent = control.caption;
          if (names[control.index] && names[control.index].kind !== "check") {
            element.htmlFor = elementId(dialog.id, names[control.index]);
          }
          break;
        case "group": {
          element = box = document.createElement("div");
          element.className = "groupbox";
          const title = document.createElement("span");
          title.textContent = control.caption;
          element.appendChild(title);
          break;
        }
        case "icon":
          element = box = document.createElement("img");
          element.src = "lumiq.svg";
          element.alt = "";
          element.className = "icon";
          break;
        case "list":
          element = box = document.createElement("select");
          element.size = 6;
          break;
        case "tabs":
          element = box = document.createElement("div");
          element.className = "tabcontrol";
          break;
      }
      element.id = id;
      box.classList.add("control");
      place(box, control.rect, units);
      if (control.kind === "icon") { box.style.width = "32px"; box.style.height = "32px"; }
      // A combo box's template height includes its dropped-down list.
      if (control.kind === "combo") {
        box.style.height = Math.min(mulDiv(control.rect[3], units.y, 8), units.y + 8) + "px";
      }
      if (control.style & STYLE.disabled) element.disabled = true;
      if (control.style & STYLE.hidden) box.hidden = true;
      if (!(control.style & STYLE.tabStop) && ["button", "check", "edit", "combo", "list"].includes(control.kind)) {
        element.tabIndex = -1;
      }
      // A field named by a check box, or by a label after a row heading
      // ("设备WIFI" before "SSID"); a plain label names it by <label for>.
      const namer = control.label >= 0 && control.kind !== "radio" ? byIndex[control.label] : null;
      if (namer && namer.kind === "check") {
        element.setAttribute("aria-labelledby", elementId(dialog.id, namer) + "_caption");
      } else if (namer && namer.kind === "label" && namer.heading >= 0) {
        element.setAttribute("aria-labelledby",
          elementId(dialog.id, byIndex[namer.heading]) + " " + elementId(dialog.id, namer));
      }
      parent.appendChild(box);
    }
    for (const radios of Object.values(built.radios)) keepRadioStop(radios);
    return built;
  }

  // A radio group is one stop for Tab: its checked button, or the first.
  function keepRadioStop(radios) {
    const usable = radios.filter((r) => !r.disabled && !captionOf(r).hidden);
    const stop = usable.find((r) => r.checked) || usable[0];
    for (const radio of radios) radio.tabIndex = radio === stop ? 0 : -1;
  }
  function groupOf(radio) {
    return Array.from(document.querySelectorAll('input[type=radio][data-group="' + radio.dataset.group + '"]'));
  }

  // A click leaves the clicked radio button the only checked one of its
  // group, whatever the program had checked; the arrows move along the
  // group and check, as Windows dialogs do.
  function wireRadios(host) {
    // Typing takes digits only in a number-only edit; what the scanner
    // holds shows as it is.
    host.addEventListener("beforeinput", (event) => {
      if ("digits" in event.target.dataset && event.data && /[^0-9]/.test(event.data)) event.preventDefault();
    });
    host.addEventListener("click", (event) => {
      const radio = event.target;
      if (!(radio instanceof HTMLInputElement) || radio.type !== "radio") return;
      const radios = groupOf(radio);
      for (const other of radios) other.checked = other === radio;
      keepRadioStop(radios);
    });
    host.addEventListener("keydown", (event) => {
      const radio = event.target;
      if (!(radio instanceof HTMLInputElement) || radio.type !== "radio") return;
      const forward = event.key === "ArrowDown" || event.key === "ArrowRight";
      const backward = event.key === "ArrowUp" || event.key === "ArrowLeft";
      if (!forward && !backward) return;
      event.preventDefault();
      const radios = groupOf(radio);
      const from = radios.indexOf(radio);
      for (let step = 1; step < radios.length; step++) {
        const next = radios[(from + (forward ? step : radios.length - step)) % radios.length];
        if (next.disabled || captionOf(next).hidden) continue;
        next.focus();
        next.click();
        break;
      }
    });
  }

  // A window: title bar and client area, sized from its template.
  function buildWindow(dialog, options) {
    const units = unitsOf(dialog);
    const section = document.createElement("section");
    section.className = "window";
    section.id = "w" + dialog.id;
    section.setAttribute("role", "dialog");
    section.setAttribute("aria-labelledby", "w" + dialog.id + "_title");
    const bar = document.createElement("div");
    bar.className = "titlebar";
    if (options && options.menu) bar.appendChild(options.menu);
    const title = document.createElement("h1");
    title.id = "w" + dialog.id + "_title";
    title.textContent = dialog.caption;
    bar.appendChild(title);
    // The close box: what Escape does, as on the desktop.
    if (options && options.escape) {
      const close = document.createElement("button");
      close.type = "button";
      close.className = "closebox";
      close.textContent = "\u2715";
      close.setAttribute("aria-label", text("close"));
      close.tabIndex = -1;
      close.addEventListener("click", () => options.escape());
      bar.appendChild(close);
    }
    const client = document.createElement("div");
    client.className = "client";
    client.style.width = mulDiv(dialog.width, units.x, 4) + "px";
    client.style.height = mulDiv(dialog.height, units.y, 8) + "px";
    section.append(bar, client);
    const built = buildControls(dialog, client);
    wireRadios(client);
    section.addEventListener("keydown", (event) => {
      if (event.key === "Enter" && built.defaultButton && !(event.target instanceof HTMLButtonElement) &&
          !(event.target instanceof HTMLInputElement && event.target.type !== "text")) {
        event.preventDefault();
        built.defaultButton.click();
      }
      if (event.key === "Escape" && options && options.escape) {
        event.preventDefault();
        options.escape();
      }
    });
    return { section, client, built };
  }

  function root() { return document.getElementById("lumiq"); }
  function show(section) {
    for (const other of root().querySelectorAll(":scope > .window")) other.hidden = other !== section;
  }

  function setBusy(on) {
    busy += on ? 1 : -1;
    root().inert = busy > 0;
    root().setAttribute("aria-busy", busy > 0 ? "true" : "false");
    document.body.classList.toggle("busy", busy > 0);
  }

  // One call into the application; the windows wait for it.
  async function call(name, types, args) {
    setBusy(true);
    try {
      return await Module.ccall(name, "number", types || [], args || [], { async: true });
    } finally {
      setBusy(false);
    }
  }

  // --- message boxes: plain OK boxes with the program's name as caption ---
  function message(textShown) {
    log.push(textShown);
    return new Promise((resolve) => {
      const box = document.getElementById("lumiq-message");
      const previous = document.activeElement;
      box.querySelector("p").textContent = textShown;
      box.hidden = false;
      const ok = box.querySelector("button");
      ok.textContent = text("ok");
      const done = () => {
        ok.removeEventListener("click", done);
        box.hidden = true;
        pendingMessages = pendingMessages.filter((m) => m !== done);
        if (previous && previous.focus) previous.focus();
        resolve();
      };
      pendingMessages.push(done);
      ok.addEventListener("click", done);
      ok.focus();
    });
  }

  // --- the connect dialog ---
  let connectWindow = null;
  function openConnect() {
    const menuButton = document.createElement("button");
    menuButton.type = "button";
    menuButton.className = "windowmenu";
    menuButton.textContent = "\u2630";
    menuButton.setAttribute("aria-label", text("window-menu"));
    menuButton.setAttribute("aria-haspopup", "menu");
    const windowParts = buildWindow(dialogOf(id().connect), { menu: menuButton, escape: () => window.close() });
    connectWindow = windowParts.section;
    root().appendChild(connectWindow);
    const menu = document.createElement("div");
    menu.setAttribute("role", "menu");
    menu.className = "menu";
    menu.hidden = true;
    const about = document.createElement("button");
    about.type = "button";
    about.setAttribute("role", "menuitem");
    about.textContent = menuText(text("about-menu"));
    menu.appendChild(about);
    windowParts.section.querySelector(".titlebar").appendChild(menu);
    menuButton.addEventListener("click", () => {
      menu.hidden = !menu.hidden;
      menuButton.setAttribute("aria-expanded", String(!menu.hidden));
      if (!menu.hidden) about.focus();
    });
    about.addEventListener("click", () => { menu.hidden = true; openAbout(); });
    find(id().connect, id().connectButton).addEventListener("click", connect);
    find(id().connect, id().connectExit).addEventListener("click", () => { window.close(); });
    // The page opens no profile file without a scanner: no "打开配置文件...".
    find(id().connect, id().connectOpen).hidden = true;
    show(connectWindow);
    find(id().connect, id().connectButton).focus();
  }

  async function connect() {
    if (!Module.lumiqHid.available()) {
      await message(text("no-webhid"));
      return;
    }
    // The browser's picker needs this click; a scanner granted before is
    // found again without it. The windows wait from the click on.
    setBusy(true);
    try {
      await Module.lumiqHid.request();
      await call("lumiq_connect");
    } finally {
      setBusy(false);
    }
  }

  function openAbout() {
    const parts = buildWindow(dialogOf(id().about), { escape: close });
    parts.section.classList.add("modal");
    parts.section.setAttribute("aria-modal", "true");
    document.body.appendChild(parts.section);
    root().inert = true;
    function close() {
      parts.section.remove();
      root().inert = busy > 0;
      find(id().connect, id().connectButton).focus();
    }
    find(id().about, id().aboutOk).addEventListener("click", close);
    find(id().about, id().aboutOk).focus();
  }

  // --- the chooser ---
  function openChooser(rows) {
    closeChooser();
    const parts = buildWindow(dialogOf(id().chooser), { escape: () => { closeChooser(); show(connectWindow); } });
    parts.section.hidden = true;
    root().appendChild(parts.section);
    const list = find(id().chooser, id().chooserList);
    rows.forEach((row, i) => {
      const option = document.createElement("option");
      option.value = String(i);
      option.textContent = row;
      list.appendChild(option);
    });
    list.selectedIndex = 0;
    const pick = () => {
      const row = list.selectedIndex;
      if (row < 0) return;
      closeChooser();
      show(connectWindow);
      call("lumiq_pick", ["number"], [row]);
    };
    list.addEventListener("dblclick", pick);
    find(id().chooser, id().chooserOk).addEventListener("click", pick);
    find(id().chooser, id().chooserCancel).addEventListener("click", () => { closeChooser(); show(connectWindow); });
    show(parts.section);
    list.focus();
  }
  function closeChooser() {
    const old = document.getElementById("w" + id().chooser);
    if (old) old.remove();
  }

  // --- the settings window ---
  let settings = null;
  function openSettings() {
    closeSettings();
    const parts = buildWindow(dialogOf(id().settings), { escape: () => exitSettings() });
    parts.section.hidden = true;
    root().appendChild(parts.section);
    settings = parts;
    const tabs = find(id().settings, id().tabs);
    const list = document.createElement("div");
    list.setAttribute("role", "tablist");
    list.setAttribute("aria-label", text("tabs-name"));
    list.className = "tablist";
    tabs.appendChild(list);
    const pages = document.createElement("div");
    pages.className = "pages";
    pages.style.top = id().pageTop + "px";
    tabs.appendChild(pages);
    const tabList = JSON.parse(Module.ccall("lumiq_tabs", "string", [], []));
    tabList.forEach(([templateId, caption], index) => {
      const tab = document.createElement("button");
      tab.type = "button";
      tab.setAttribute("role", "tab");
      tab.id = "tab" + index;
      tab.textContent = caption;
      tab.setAttribute("aria-controls", "page" + templateId);
      tab.addEventListener("click", () => selectTab(index));
      list.appendChild(tab);
    });
    list.addEventListener("keydown", (event) => {
      const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
      if (!step) return;
      event.preventDefault();
      const current = currentTab();
      selectTab((current + step + tabList.length) % tabList.length);
      document.getElementById("tab" + currentTab()).focus();
    });
    settings.tabList = tabList;
    settings.pagesHost = pages;
    buildPages();
    find(id().settings, id().save).addEventListener("click", () => call("lumiq_save"));
    find(id().settings, id().exit).addEventListener("click", exitSettings);
    find(id().settings, id().import).addEventListener("click", chooseImport);
    find(id().settings, id().export).addEventListener("click", chooseExport);
    // Neither a test-scan window nor a window on a profile file here:
    // "扫描测试..." and "应用到设备..." stay hidden.
    find(id().settings, id().testScan).hidden = true;
    find(id().settings, id().apply).hidden = true;
    selectTab(0);
  }

  // After the pages' Loads: the window shows, with the focus on its tabs.
  function showSettings() {
    if (!settings) return;
    show(settings.section);
    document.getElementById("tab" + currentTab()).focus();
  }

  const pristinePages = {};
  // The five pages fresh from their templates (opening, and an import).
  function buildPages() {
    const host = settings.pagesHost;
    host.textContent = "";
    const tabs = find(id().settings, id().tabs);
    settings.tabList.forEach(([templateId, caption], index) => {
      const page = document.createElement("div");
      page.className = "page";
      page.id = "page" + templateId;
      page.setAttribute("role", "tabpanel");
      page.setAttribute("aria-labelledby", "tab" + index);
      page.style.height = (tabs.clientHeight - id().pageTop) + "px";
      host.appendChild(page);
      // Built once from the template; later windows take a copy of it as
      // built, before any Load filled it in.
      if (pristinePages[templateId]) {
        page.append(pristinePages[templateId].cloneNode(true));
      } else {
        const built = document.createElement("div");
        built.className = "pagecontrols";
        page.appendChild(built);
        buildControls(dialogOf(templateId), built);
        pristinePages[templateId] = built.cloneNode(true);
      }
      wireRadios(page);
      page.hidden = settings.current !== undefined ? index !== settings.current : index !== 0;
    });
  }

  function currentTab() { return settings ? settings.current || 0 : -1; }
  function selectTab(index) {
    settings.current = index;
    settings.tabList.forEach(([templateId], i) => {
      const tab = document.getElementById("tab" + i);
      tab.setAttribute("aria-selected", String(i === index));
      tab.tabIndex = i === index ? 0 : -1;
      document.getElementById("page" + templateId).hidden = i !== index;
    });
  }

  function closeSettings() {
    if (!settings) return;
    settings.section.remove();
    settings = null;
  }
  function exitSettings() {
    Module.ccall("lumiq_exit_settings", null, [], []);
    show(connectWindow);
    find(id().connect, id().connectButton).focus();
  }

  // "导入配置...": the browser's file picker; the file goes through the
  // page's memory to the same import as the desktop's.
  function chooseImport() {
    const input = document.getElementById("lumiq-import");
    input.value = "";
    input.click();
  }
  async function importFile(file) {
    // Busy from the first moment: reading the file is part of the import.
    setBusy(true);
    try {
      const bytes = new Uint8Array(await file.arrayBuffer());
      FS.mkdirTree("/import");
      const path = "/import/" + file.name.replace(/[/\\]/g, "_");
      FS.writeFile(path, bytes);
      try {
        return await call("lumiq_import", ["string", "string"], [path, file.name]);
      } finally {
        FS.unlink(path);
      }
    } finally {
      setBusy(false);
    }
  }

  // "导出配置...": a name and a file type, then a download of the bytes the
  // desktop's export writes.
  function chooseExport() {
    const box = document.getElementById("lumiq-export");
    const kinds = box.querySelector("select");
    if (kinds.options.length === 0) {
      const filters = JSON.parse(Module.ccall("lumiq_export_filters", "string", [], []));
      filters.forEach(([name, pattern], i) => {
        const option = document.createElement("option");
        option.value = String(i);
        option.textContent = name + " (" + pattern + ")";
        kinds.appendChild(option);
      });
      box.querySelector("h2").textContent = text("export-title");
      box.querySelector("label[for=lumiq-export-name]").textContent = text("export-name");
      box.querySelector("label[for=lumiq-export-kind]").textContent = text("export-kind");
      box.querySelector("button[value=ok]").textContent = text("ok");
      box.querySelector("button[value=cancel]").textContent = text("cancel");
    }
    box.returnValue = "";
    box.showModal();
  }
  async function exportFile(name, filter) {
    if (!/\.[^.]+$/.test(name)) name += ".profile";
    FS.mkdirTree("/export");
    const path = "/export/" + name.replace(/[/\\]/g, "_");
    const written = await call("lumiq_export", ["string", "string", "number"], [path, name, filter]);
    if (written === 1) {
      const bytes = FS.readFile(path);
      FS.unlink(path);
      lastExport = { name, bytes };
      const link = document.createElement("a");
      link.href = URL.createObjectURL(new Blob([bytes], { type: "application/octet-stream" }));
      link.download = name;
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }
    return written;
  }

  function start(options) {
    demo = Boolean(options && options.demo);
    Module.ccall("lumiq_set_languages", null, ["string"], [(navigator.languages || [navigator.language]).join("\n")]);
    document.documentElement.lang = Module.ccall("lumiq_language", "string", [], []) === "en" ? "en" : "zh-CN";
    document.title = dialogOf(id().connect).caption;
    if (demo) {
      const banner = document.getElementById("lumiq-demo");
      banner.textContent = text("demo");
      banner.hidden = false;
    }
    document.getElementById("lumiq-import").addEventListener("change", (event) => {
      const file = event.target.files && event.target.files[0];
      if (file) importFile(file);
    });
    const exportBox = document.getElementById("lumiq-export");
    // OK exports at once, in its own click; cancel and Escape just close.
    exportBox.querySelector("button[value=ok]").addEventListener("click", (event) => {
      event.preventDefault();
      exportBox.close("ok");
      const name = document.getElementById("lumiq-export-name").value.trim() || "config.profile";
      exportFile(name, Number(document.getElementById("lumiq-export-kind").value));
    });
    openConnect();
  }

  return {
    start,
    message,
    openSettings,
    showSettings,
    buildPages,
    closeSettings,
    openChooser,
    // The controls, by template and id, for the page logic.
    checked: (page, id) => { const e = find(page, id); return Boolean(e && e.checked); },
    setChecked: (page, id, on) => {
      const e = find(page, id);
      if (!e) return;
      e.checked = on;
      if (e.type === "radio") keepRadioStop(groupOf(e));
    },
    text: (page, id) => {
      const e = find(page, id);
      if (!e) return null;
      if (e instanceof HTMLInputElement && (e.type === "text" || e.type === "password")) return e.value;
      if (e instanceof HTMLInputElement) return captionOf(e).querySelector("label").textContent;
      return e.textContent;
    },
    setText: (page, id, value) => {
      const e = find(page, id);
      if (!e) return;
      if (e instanceof HTMLInputElement && (e.type === "text" || e.type === "password")) e.value = value;
      else if (e instanceof HTMLInputElement) captionOf(e).querySelector("label").textContent = value;
      else e.textContent = value;
    },
    shown: (page, id) => {
      const e = find(page, id);
      if (!e) return false;
      const box = e instanceof HTMLInputElement && (e.type === "checkbox" || e.type === "radio") ? captionOf(e) : e;
      return !box.hidden;
    },
    setShown: (page, id, on) => {
      const e = find(page, id);
      if (!e) return;
      const box = e instanceof HTMLInputElement && (e.type === "checkbox" || e.type === "radio") ? captionOf(e) : e;
      box.hidden = !on;
      if (e.type === "radio") keepRadioStop(groupOf(e));
    },
    enabled: (page, id) => { const e = find(page, id); return Boolean(e && !e.disabled); },
    // For tests and bug reports.
    isBusy: () => busy > 0,
    messages: () => log.slice(),
    messageOpen: () => !document.getElementById("lumiq-message").hidden,
    acceptMessage: () => { const done = pendingMessages[0]; if (done) done(); },
    importFile,
    exportFile,
    lastExport: () => lastExport,
    selectTab,
    currentTab,
  };
})();

// A stand-in navigator.hid: simulated scanners (lumiq-sim.js, the desktop's
// sim/ compiled to WebAssembly) behind the WebHID interface the page uses,
// so the page's WebHID backend moves every report for real. The demo plugs
// it in; the tests inject it before the page loads, with their seeds.
//
// Strict, as a test's device should be: a report written with an id other
// than 0 or another size than 64 bytes, a write on a closed device, or a
// second write while one is under way is refused and recorded in
// violations(); so is a picker asked for without the scanner's filter.
(function (global) {
  "use strict";
  const VENDOR_ID = 0x0525, PRODUCT_ID = 0xa4ac, USAGE_PAGE = 0xff00, USAGE = 0x01;
  const REPORT_BYTES = 64;

  function install(options) {
    options = options || {};
    const seeds = options.seeds && options.seeds.length ? options.seeds : [""];
    const paceMs = options.paceMs || 0;
    const violations = [];
    const stats = { reports: 0, sleptMs: 0 };
    let sim = null;
    const ready = global.LumiqSim().then((module) => { sim = module; return module; });

    // Each report's crossing time. Timers are clamped to 4 ms once nested, so
    // short paces are waited out on the message queue instead; what was
    // really waited is summed, for the benchmark's floor.
    const channel = new MessageChannel();
    const queued = [];
    channel.port1.onmessage = () => { const next = queued.shift(); if (next) next(); };
    function yieldOnce() { return new Promise((resolve) => { queued.push(resolve); channel.port2.postMessage(0); }); }
    async function pace() {
      stats.reports++;
      if (paceMs <= 0) return;
      const start = performance.now();
      if (paceMs >= 8) {
        await new Promise((resolve) => setTimeout(resolve, paceMs));
      } else {
        while (performance.now() - start < paceMs) await yieldOnce();
      }
      stats.sleptMs += performance.now() - start;
    }

    class Device extends EventTarget {
      constructor(index) {
        super();
        this.index = index;
        this.vendorId = VENDOR_ID;
        this.productId = PRODUCT_ID;
        this.productName = "ZR scanner 1-" + (index + 1);
        this.collections = [{ usagePage: USAGE_PAGE, usage: USAGE, type: 1, children: [],
          inputReports: [{ reportId: 0 }], outputReports: [{ reportId: 0 }], featureReports: [] }];
        this.opened = false;
        this.oninputreport = null;
        this.sending = false;
        this.pumping = false;
        this.unplugged = false;
      }
      async open() {
        await ready;
        if (this.unplugged) throw new DOMException("The device was disconnected.", "NotFoundError");
        if (options.deny) throw new DOMException("Failed to open the device.", "NotAllowedError");
        this.opened = true;
      }
      async close() { this.opened = false; }
      async forget() { this.opened = false; }
      async sendReport(reportId, data) {
        const bytes = new Uint8Array(data.buffer ? data.buffer.slice(data.byteOffset, data.byteOffset + data.byteLength) : data);
        if (!this.opened) return refuse("a report written to a closed device", "InvalidStateError");
        if (this.sending) return refuse("a report written while another was under way", "InvalidStateError");
        if (reportId !== 0 || bytes.length !== REPORT_BYTES) {
          return refuse("report id " + reportId + " with " + bytes.length + " bytes", "NotAllowedError");
        }
        this.sending = true;
        try {
          await pace();
        } finally {
          this.sending = false;
        }
        const at = sim._malloc(REPORT_BYTES);
        sim.HEAPU8.set(bytes, at);
        const accepted = sim._sim_accept(this.index, at);
        sim._free(at);
        if (!accepted) throw new DOMException("Failed to write the report.", "NotAllowedError");
        this.pump();
      }
      // The scanner's answer, report by report, each at the pace.
      async pump() {
        if (this.pumping) return;
        this.pumping = true;
        try {
          for (;;) {
            const at = sim._malloc(256);
            const size = sim._sim_take(this.index, at, 256);
            const transfer = size >= 0 ? sim.HEAPU8.slice(at, at + Math.min(size, 256)) : null;
            sim._free(at);
            if (!transfer) break;
            await pace();
            if (!this.opened || this.unplugged) continue;
            const event = new Event("inputreport");
            const payload = transfer.slice(1);
            Object.defineProperties(event, {
              device: { value: this },
              reportId: { value: transfer[0] },
              data: { value: new DataView(payload.buffer) },
            });
            this.dispatchEvent(event);
            if (typeof this.oninputreport === "function") this.oninputreport(event);
          }
        } finally {
          this.pumping = false;
        }
      }
    }

    function refuse(what, name) {
      violations.push(what);
      return Promise.reject(new DOMException(what, name));
    }

    const devices = seeds.map((_, i) => new Device(i));
    let granted = Boolean(options.granted);
    const hid = new EventTarget();
    hid.onconnect = null;
    hid.ondisconnect = null;
    hid.getDevices = async () => { await ready; return granted ? devices.filter((d) => !d.unplugged) : []; };
    hid.requestDevice = async (request) => {
      await ready;
      const filters = (request && request.filters) || [];
      const fits = filters.some((f) => f.vendorId === VENDOR_ID && f.productId === PRODUCT_ID &&
        f.usagePage === USAGE_PAGE && f.usage === USAGE);
      if (!fits) {
        violations.push("a picker without the scanner's configuration interface in its filter");
        return [];
      }
      stats.pickers = (stats.pickers || 0) + 1;
      granted = true;
      return devices.filter((d) => !d.unplugged);
    };
    Object.defineProperty(Navigator.prototype, "hid", { configurable: true, get: () => hid });

    const api = {
      ready: ready.then(() => {
        seeds.forEach((seed, i) => {
          const index = sim.ccall("sim_add", "number", ["string"], [seed]);
          if (index !== i) throw new Error("seed " + (i + 1) + ": " + sim.UTF8ToString(sim._sim_error()));
          if (options.silentFrom) sim._sim_silent_from(index, options.silentFrom);
        });
      }),
      violations: () => violations.slice(),
      stats: () => Object.assign({}, stats),
      // Every command each scanner got, as the desktop runner's trace.
      trace() {
        let text = "";
        devices.forEach((device, i) => {
          if (devices.length > 1) text += "SCANNER " + (i + 1) + "\n";
          text += sim.UTF8ToString(sim._sim_trace(i));
        });
        return text;
      },
      unplug(number) {
        const device = devices[number - 1];
        device.unplugged = true;
        device.opened = false;
        sim._sim_unplug(number - 1);
        const event = new Event("disconnect");
        Object.defineProperty(event, "device", { value: device });
        hid.dispatchEvent(event);
      },
      plug(number) {
        const device = devices[number - 1];
        device.unplugged = false;
        sim._sim_plug(number - 1);
        const event = new Event("connect");
        Object.defineProperty(event, "device", { value: device });
        hid.dispatchEvent(event);
      },
    };
    global.LumiqStandIn.current = api;
    return api.ready.then(() => api);
  }

  global.LumiqStandIn = { install, current: null };
})(typeof window !== "undefined" ? window : globalThis);

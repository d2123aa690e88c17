// The JavaScript half of the WebHID backend (webhid.cpp): the scanners this
// page was granted, their input queues and the waits on them. Every method
// the C++ side awaits resolves to a number and never rejects: a browser
// error becomes a failure code here, in one table.
Module.lumiqHid = (function () {
  "use strict";
  const VENDOR_ID = 0x0525;
  const PRODUCT_ID = 0xa4ac;
  // The configuration interface's top-level collection (the scanner's report
  // descriptor): vendor-defined usage page 0xFF00, usage 1.
  const USAGE_PAGE = 0xff00;
  const USAGE = 0x01;
  const REPORT_BYTES = 64;
  // A scanner that talks on and on must not fill the page's memory.
  const QUEUE_LIMIT = 256;
  // The open's failure codes (webhid.cpp).
  const NOT_FOUND = -1, DENIED = -2, IN_USE = -3, UNKNOWN = -4;
  const OPEN_FAILURES = {
    NotFoundError: NOT_FOUND,
    NotAllowedError: DENIED,
    SecurityError: DENIED,
    InvalidStateError: IN_USE,
  };

  // By device number, for the page's life: a device granted again keeps its
  // number, so a path stays valid across listings.
  const entries = [];
  let listening = false;

  function hid() {
    return typeof navigator !== "undefined" && navigator.hid ? navigator.hid : null;
  }

  function isScanner(device) {
    return device.vendorId === VENDOR_ID && device.productId === PRODUCT_ID;
  }

  function isConfigurationInterface(device) {
    return (device.collections || []).some(
      (c) => c.usagePage === USAGE_PAGE && c.usage === USAGE);
  }

  function entryOf(device) {
    let entry = entries.find((e) => e.device === device);
    if (entry) return entry;
    entry = { device, queue: [], waiter: null, readers: 0, writers: 0, gone: false, number: entries.length };
    device.addEventListener("inputreport", (event) => {
      const data = new Uint8Array(event.data.buffer, event.data.byteOffset, event.data.byteLength);
      entry.queue.push({ reportId: event.reportId, data: data.slice() });
      if (entry.queue.length > QUEUE_LIMIT) entry.queue.shift();
      wake(entry, 1);
    });
    entries.push(entry);
    return entry;
  }

  function wake(entry, result) {
    const waiter = entry.waiter;
    if (!waiter) return;
    entry.waiter = null;
    clearTimeout(waiter.timer);
    waiter.resolve(result);
  }

  function listen() {
    const api = hid();
    if (listening || !api) return;
    listening = true;
    api.addEventListener("disconnect", (event) => {
      const entry = entries.find((e) => e.device === event.device);
      if (!entry) return;
      entry.gone = true;
      entry.queue.length = 0;
      wake(entry, 0);
    });
    api.addEventListener("connect", (event) => {
      const entry = entries.find((e) => e.device === event.device);
      if (entry) entry.gone = false;
    });
  }

  // A promise that never rejects: its value, or `failed` with the reason.
  function settled(promise) {
    return Promise.resolve(promise).then(
      (value) => ({ ok: true, value }),
      (error) => ({ ok: false, error }));
  }

  function withDeadline(promise, ms, late) {
    let timer;
    const deadline = new Promise((resolve) => { timer = setTimeout(() => resolve(late), ms); });
    return Promise.race([promise, deadline]).finally(() => clearTimeout(timer));
  }

  const api = {
    available() { return hid() !== null; },

    // The granted scanners, in the browser's order, each under its number;
    // answers how many numbers there are.
    async refresh() {
      listen();
      const granted = hid() ? await settled(hid().getDevices()) : { ok: false };
      for (const entry of entries) entry.present = false;
      if (granted.ok) {
        for (const device of granted.value) {
          if (!isScanner(device)) continue;
          const entry = entryOf(device);
          entry.present = true;
          entry.gone = false;
        }
      }
      return entries.length;
    },

    count() { return entries.length; },

    attributes(number) {
      const entry = entries[number];
      if (!entry || !entry.present || entry.gone) return null;
      const d = entry.device;
      return {
        vendorId: d.vendorId,
        productId: d.productId,
        interfaceNumber: isConfigurationInterface(d) ? 1 : 0,
      };
    },

    async open(number, forReading) {
      const entry = entries[number];
      if (!entry || entry.gone) return NOT_FOUND;
      if (forReading && entry.readers > 0) return IN_USE;
      if (entry.closing) {
        await entry.closing;
        entry.closing = null;
      }
      if (!entry.device.opened) {
        const opened = await settled(entry.device.open());
        if (!opened.ok && !entry.device.opened) {
          const name = opened.error && opened.error.name;
          return name in OPEN_FAILURES ? OPEN_FAILURES[name] : UNKNOWN;
        }
      }
      if (entry.gone) return NOT_FOUND;
      if (forReading) {
        entry.readers++;
        entry.queue.length = 0;
      } else {
        entry.writers++;
      }
      return 0;
    },

    close(number, forReading) {
      const entry = entries[number];
      if (!entry) return;
      if (forReading) entry.readers = Math.max(0, entry.readers - 1);
      else entry.writers = Math.max(0, entry.writers - 1);
      if (forReading) wake(entry, 0);
      if (entry.readers === 0 && entry.writers === 0 && entry.device.opened) {
        // Nothing waits for the close; a later open waits for it instead.
        entry.closing = settled(entry.device.close());
      }
    },

    async send(number, report, timeoutMs) {
      const entry = entries[number];
      if (!entry || entry.gone || !entry.device.opened) return -1;
      const sent = settled(entry.device.sendReport(report[0], report.subarray(1, 1 + REPORT_BYTES)));
      const result = await withDeadline(sent, timeoutMs, { ok: false, late: true });
      return result.ok ? 1 + REPORT_BYTES : -1;
    },

    // The oldest queued report, handed to `copy` as report id and data (at
    // most 65 bytes); its true size, or -1 when none is queued.
    take(number, copy) {
      const entry = entries[number];
      if (!entry || entry.queue.length === 0) return -1;
      const report = entry.queue.shift();
      const transfer = new Uint8Array(1 + report.data.length);
      transfer[0] = report.reportId;
      transfer.set(report.data, 1);
      copy(transfer.subarray(0, 1 + REPORT_BYTES));
      return transfer.length;
    },

    // Until a report is queued (1), or the deadline or a disconnect (0).
    wait(number, timeoutMs) {
      const entry = entries[number];
      if (!entry || entry.gone) return Promise.resolve(0);
      if (entry.queue.length > 0) return Promise.resolve(1);
      wake(entry, 0);  // one reader at a time
      return new Promise((resolve) => {
        const waiter = { resolve, timer: 0 };
        waiter.timer = setTimeout(() => {
          if (entry.waiter === waiter) entry.waiter = null;
          resolve(0);
        }, timeoutMs);
        entry.waiter = waiter;
      });
    },

    // For the page: asks the operator for a scanner with the browser's
    // picker, unless one is granted already. Needs the click that called it.
    async request() {
      const api = hid();
      if (!api) return false;
      const granted = await settled(api.getDevices());
      if (granted.ok && granted.value.some(isScanner)) return true;
      const chosen = await settled(api.requestDevice({
        filters: [{ vendorId: VENDOR_ID, productId: PRODUCT_ID, usagePage: USAGE_PAGE, usage: USAGE }],
      }));
      return chosen.ok && chosen.value.length > 0;
    },
  };
  return api;
})();

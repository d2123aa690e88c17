// The WebHID backend's JavaScript half (link/platform/webhid.js) on a fake
// navigator.hid: every browser failure becomes the code the C++ side
// expects, reads end at their deadline and late reports wait for the next
// read, a disconnect ends the waiting read, and the picker is asked for
// only while no scanner is granted.
"use strict";
const test = require("node:test");
const assert = require("node:assert");
const fs = require("fs");
const path = require("path");

const source = fs.readFileSync(path.join(__dirname, "../../link/platform/webhid.js"), "utf8");

class FakeDevice extends EventTarget {
  constructor(options) {
    super();
    Object.assign(this, { vendorId: 0x0525, productId: 0xa4ac, opened: false, sent: [],
      collections: [{ usagePage: 0xff00, usage: 1 }] }, options || {});
  }
  async open() {
    if (this.openError) throw Object.assign(new Error("refused"), { name: this.openError });
    this.opened = true;
  }
  async close() { this.opened = false; }
  sendReport(reportId, data) {
    this.sent.push([reportId, Array.from(data)]);
    return this.hang ? new Promise(() => {}) : Promise.resolve();
  }
  input(bytes, reportId) {
    const event = new Event("inputreport");
    event.reportId = reportId || 0;
    event.data = new DataView(Uint8Array.from(bytes).buffer);
    this.dispatchEvent(event);
  }
}

// A page with `devices` granted (or offered by the picker when `granted`
// is false); returns the backend and the fake navigator.hid.
function page(devices, granted) {
  const hid = new EventTarget();
  hid.pickers = [];
  hid.getDevices = async () => (granted ? devices : []);
  hid.requestDevice = async (options) => { hid.pickers.push(options); granted = true; return devices; };
  const Module = {};
  new Function("Module", "navigator", source)(Module, { hid });
  return { backend: Module.lumiqHid, hid };
}

const report = (first) => Array.from({ length: 64 }, (_, i) => (i === 0 ? first : 0));

test("the configuration interface is told apart by its collection", async () => {
  const other = new FakeDevice({ collections: [{ usagePage: 0x01, usage: 6 }] });
  const { backend } = page([other, new FakeDevice(), new FakeDevice({ productId: 0x1234 })], true);
  assert.strictEqual(await backend.refresh(), 2);
  assert.deepStrictEqual(backend.attributes(0), { vendorId: 0x0525, productId: 0xa4ac, interfaceNumber: 0 });
  assert.strictEqual(backend.attributes(1).interfaceNumber, 1);
});

test("each browser failure of an open is the code the link expects", async () => {
  const codes = { NotFoundError: -1, NotAllowedError: -2, SecurityError: -2, InvalidStateError: -3, AbortError: -4 };
  for (const [name, code] of Object.entries(codes)) {
    const { backend } = page([new FakeDevice({ openError: name })], true);
    await backend.refresh();
    assert.strictEqual(await backend.open(0, true), code, name);
  }
});

test("a second reader of one scanner is refused as in use", async () => {
  const { backend } = page([new FakeDevice()], true);
  await backend.refresh();
  assert.strictEqual(await backend.open(0, true), 0);
  assert.strictEqual(await backend.open(0, false), 0);
  assert.strictEqual(await backend.open(0, true), -3);
  backend.close(0, true);
  assert.strictEqual(await backend.open(0, true), 0);
});

test("a report goes out with id 0 and 64 bytes; a write that never ends fails at its deadline", async () => {
  const device = new FakeDevice();
  const { backend } = page([device], true);
  await backend.refresh();
  await backend.open(0, false);
  const bytes = Uint8Array.from([0].concat(report(0x66)));
  assert.strictEqual(await backend.send(0, bytes, 50), 65);
  assert.deepStrictEqual(device.sent[0], [0, report(0x66)]);
  device.hang = true;
  assert.strictEqual(await backend.send(0, bytes, 20), -1);
});

test("a read ends at its deadline, and a report that comes later waits for the next read", async () => {
  const device = new FakeDevice();
  const { backend } = page([device], true);
  await backend.refresh();
  await backend.open(0, true);
  assert.strictEqual(await backend.wait(0, 20), 0);
  device.input(report(0x42));
  let copied = null;
  assert.strictEqual(backend.take(0, (bytes) => { copied = Array.from(bytes); }), 65);
  assert.deepStrictEqual(copied, [0].concat(report(0x42)));
  assert.strictEqual(backend.take(0, () => {}), -1);
});

test("a waiting read is answered by the report that arrives", async () => {
  const device = new FakeDevice();
  const { backend } = page([device], true);
  await backend.refresh();
  await backend.open(0, true);
  const waiting = backend.wait(0, 5000);
  device.input(report(1));
  assert.strictEqual(await waiting, 1);
});

test("a report of the wrong size is handed on at its true size, cut to the buffer", async () => {
  const device = new FakeDevice();
  const { backend } = page([device], true);
  await backend.refresh();
  await backend.open(0, true);
  device.input(new Array(80).fill(7), 0);
  let copied = null;
  assert.strictEqual(backend.take(0, (bytes) => { copied = bytes.length; }), 81);
  assert.strictEqual(copied, 65);
});

test("a disconnect ends the waiting read at once and fails later writes", async () => {
  const device = new FakeDevice();
  const { backend, hid } = page([device], true);
  await backend.refresh();
  await backend.open(0, true);
  await backend.open(0, false);
  const waiting = backend.wait(0, 60000);
  const gone = new Event("disconnect");
  gone.device = device;
  hid.dispatchEvent(gone);
  assert.strictEqual(await waiting, 0);
  assert.strictEqual(await backend.send(0, new Uint8Array(65), 50), -1);
  assert.strictEqual(backend.attributes(0), null);
});

test("the picker is asked for, with the scanner's filter, only while none is granted", async () => {
  const { backend, hid } = page([new FakeDevice()], false);
  assert.strictEqual(await backend.request(), true);
  assert.strictEqual(await backend.request(), true);
  assert.strictEqual(hid.pickers.length, 1);
  assert.deepStrictEqual(hid.pickers[0].filters,
    [{ vendorId: 0x0525, productId: 0xa4ac, usagePage: 0xff00, usage: 1 }]);
});

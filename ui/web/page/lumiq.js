// Starts the page: the demo (?demo) plugs the simulated scanner in as the
// page's navigator.hid, then the application loads.
(function () {
  "use strict";
  const demo = new URLSearchParams(location.search).has("demo");
  function load(src) {
    return new Promise((resolve, reject) => {
      const script = document.createElement("script");
      script.src = src;
      script.onload = resolve;
      script.onerror = reject;
      document.body.appendChild(script);
    });
  }
  window.Module = {
    onRuntimeInitialized() { Module.lumiqUi.start({ demo }); },
  };
  (async () => {
    if (demo && !window.LumiqStandIn) {
      await load("lumiq-sim.js");
      await load("standin-hid.js");
    }
    if (demo) await window.LumiqStandIn.install({ seeds: [""] });
    await load("lumiq-web.js");
  })();
})();

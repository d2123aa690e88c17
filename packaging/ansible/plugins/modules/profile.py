#!/usr/bin/python
# -*- coding: utf-8 -*-

DOCUMENTATION = r"""
---
module: profile
short_description: Make the scanners of a PC match a profile, or check that they do
description:
  - Compares the settings of the ZR-series scanners plugged into the target
    with a profile file on the target (as C(zrctl dump) writes it) and sends
    only when a scanner differs, by running C(zrctl apply --json). A scanner
    that already matches receives nothing at all, not even a commit.
  - A scanner that differs receives every setting of the profile in file
    order, then one commit, and every setting is read back.
  - The profile's C(masterver) is never written. Each scanner keeps its own
    C(deviceno) unless C(with_deviceno) is set.
  - With C(state=checked) nothing is ever sent (C(zrctl check)); the task
    fails when a scanner differs, naming it and the keys.
version_added: 1.0.0
author:
  - LumiqConfigTool maintainers
extends_documentation_fragment:
  - lumiq.scanners.zrctl
options:
  path:
    description:
      - The profile, a file on the target.
    type: path
    required: true
  state:
    description:
      - C(applied) sends what differs, so that every chosen scanner ends
        equal to the profile.
      - C(checked) only reads, and the task fails when a chosen scanner
        differs from the profile. For audits.
    type: str
    choices: [applied, checked]
    default: applied
  ports:
    description:
      - Only the scanners plugged in at these ports, as C(zrctl list) shows
        them (C(1-2.3) on Linux). A port without a scanner fails the task
        before anything is sent.
      - Without C(ports) and C(device_numbers), every scanner present, at
        once. Chosen scanners are served one after another.
    type: list
    elements: str
  device_numbers:
    description:
      - Only the scanners with these device numbers (C(deviceno)). A number
        no scanner has fails the task before anything is sent.
    type: list
    elements: str
  with_deviceno:
    description:
      - Send the profile's C(deviceno) too, so that every chosen scanner
        takes that number. Without it each keeps its own.
    type: bool
    default: false
  jobs:
    description:
      - At most this many scanners at once (C(zrctl --jobs)), when every
        scanner present is served. Without it every scanner at once, up to 16.
    type: int
attributes:
  check_mode:
    description: Runs C(zrctl apply --check), which only reads; reports as changed what would be sent.
    support: full
  diff_mode:
    description: Per scanner, the keys that differ, the scanner's value before and the profile's after. The Wi-Fi password shows as C((hidden)).
    support: full
  platform:
    description: Targets where zrctl runs (Linux).
    platforms: posix
notes:
  - Several scanners at once are served by one zrctl run; one that fails
    holds up no other, and the task fails naming it with zrctl's message.
seealso:
  - module: lumiq.scanners.scanner_facts
"""

EXAMPLES = r"""
- name: Every scanner at the counter gets the golden profile
  become: true
  lumiq.scanners.profile:
    path: /etc/lumiq/golden.profile

- name: Only the scanner at port 1-2 of the hub, taking the profile's device number too
  become: true
  lumiq.scanners.profile:
    path: /etc/lumiq/replacement.profile
    ports: [1-2]
    with_deviceno: true

- name: Audit, sending nothing
  become: true
  lumiq.scanners.profile:
    path: /etc/lumiq/golden.profile
    state: checked
  register: audit
  ignore_errors: true
"""

RETURN = r"""
compliant:
  description: Whether every chosen scanner matched the profile before the task.
  returned: always
  type: bool
  sample: false
scanners:
  description: One entry per chosen scanner, in port order, as C(zrctl --json) gives it.
  returned: when zrctl ran on a scanner
  type: list
  elements: dict
  contains:
    path:
      description: The scanner's interface.
      type: str
      sample: /dev/hidraw3
    port:
      description: Where it is plugged in; null when the system does not tell.
      type: str
      sample: 1-2
    deviceno:
      description: The scanner's device number; null when it could not be read.
      type: str
      sample: A-1
    compliant:
      description: Whether it matched the profile before the task.
      type: bool
    differences:
      description: The keys that differed, in profile order, with the scanner's value (C(before)) and the profile's (C(after)) as profile text.
      type: list
      elements: dict
      sample: [{"key": "qrcode", "before": "0", "after": "1"}]
    changed:
      description: Whether any setting was sent to it (C(state=applied) only).
      type: bool
    committed:
      description: Whether it took the commit (C(state=applied) only).
      type: bool
    verified:
      description: Whether every setting read back as sent (C(state=applied) only).
      type: bool
    status:
      description: zrctl's status for this scanner; 0 is success.
      type: int
    messages:
      description: What zrctl said about this scanner.
      type: list
      elements: str
messages:
  description: zrctl's messages, each scanner's named by its path, port and device number.
  returned: always
  type: list
  elements: str
"""

import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.lumiq.scanners.plugins.module_utils import zrctl
from ansible_collections.lumiq.scanners.plugins.module_utils.profile_text import (
    copy_without_deviceno,
)

# zrctl's statuses: check and apply --check say 1 for a scanner that
# differs, which is their answer rather than a failure.
DIFFERS = 1
# The command line or the profile refused: the same for every scanner.
REFUSED = 2


def command(module):
    if module.params["state"] == "checked":
        return ["check"]
    return ["apply", "--check"] if module.check_mode else ["apply"]


def chosen_scanners(module, executable):
    """The scanners the task names, from `zrctl list`; fails naming each
    port or number that has none before anything is sent."""
    _, listing = zrctl.run_json(module, executable, ["list"])
    present = zrctl.configuration_interfaces(listing)
    if module.params["ports"]:
        field, wanted, what = "port", module.params["ports"], "port"
    else:
        field, wanted, what = "deviceno", module.params["device_numbers"], "device number"
    missing = [value for value in wanted if not any(s.get(field) == value for s in present)]
    if missing:
        seen = ", ".join(zrctl.label(s) for s in present) or "none"
        unreadable = ["%s: %s" % (s.get("path"), s["unreadable"]) for s in present
                      if s.get("unreadable")]
        module.fail_json(msg="no scanner with %s %s (scanners present: %s)%s"
                         % (what, ", ".join(missing), seen,
                            "; " + "; ".join(unreadable) if unreadable else ""),
                         messages=zrctl.messages(listing))
    return [s for s in present if s.get(field) in wanted]


def run_on_all(module, executable):
    args = command(module) + ["--all"]
    if module.params["with_deviceno"]:
        args.append("--with-deviceno")
    if module.params["jobs"]:
        args += ["--jobs", str(module.params["jobs"])]
    status, document = zrctl.run_json(module, executable, args + [module.params["path"]])
    return [status], document


def run_on_chosen(module, executable):
    path = module.params["path"]
    copy = None
    if not module.params["with_deviceno"]:
        # zrctl sends a one-scanner run the profile's deviceno, as for a
        # replacement scanner; here a scanner chosen by port or number
        # keeps its own, as under --all.
        copy = copy_without_deviceno(path, module.tmpdir)
    statuses = []
    combined = {"messages": [], "scanners": []}
    for scanner in chosen_scanners(module, executable):
        args = command(module) + ["--device", scanner["path"], copy or path]
        status, document = zrctl.run_json(module, executable, args)
        statuses.append(status)
        if copy:
            document = _renamed(document, copy, path)
        combined["messages"] += document.get("messages") or []
        combined["scanners"] += document.get("scanners") or []
        if status == REFUSED:
            break
    if copy:
        os.unlink(copy)
    scanners = combined["scanners"]
    combined["compliant"] = all(s.get("compliant") for s in scanners)
    combined["changed"] = any(s.get("changed") for s in scanners)
    return statuses, combined


def _renamed(document, copy, path):
    """The document with the copy's name in zrctl's messages replaced by
    the profile's, whose line numbers it keeps."""
    def fix(messages):
        return [m.replace(copy, path) for m in messages or []]
    document = dict(document)
    document["messages"] = fix(document.get("messages"))
    scanners = []
    for scanner in document.get("scanners") or []:
        scanner = dict(scanner)
        scanner["messages"] = fix(scanner.get("messages"))
        scanners.append(scanner)
    document["scanners"] = scanners
    return document


def diff_of(scanners, path):
    entries = []
    for scanner in scanners:
        differences = scanner.get("differences") or []
        if not differences:
            continue
        before = "".join("%s=%s\n" % (d["key"], _shown(d.get("before"))) for d in differences)
        after = "".join("%s=%s\n" % (d["key"], _shown(d.get("after"), True)) for d in differences)
        entries.append({"before_header": "%s: scanner" % zrctl.label(scanner),
                        "after_header": "%s: %s" % (zrctl.label(scanner), path),
                        "before": before, "after": after})
    return entries


def _shown(value, profile_side=False):
    if value is None:
        return ""
    # The before and after of a hidden password must still differ, or the
    # diff would show no change for a key that changes.
    if value == zrctl.HIDDEN and profile_side:
        return zrctl.HIDDEN + " (the profile's)"
    return value


def summary(module, scanners):
    count = len(scanners)
    differing = [s for s in scanners if s.get("compliant") is False]
    if module.params["state"] == "checked":
        if not differing:
            return "%d scanner(s) match %s" % (count, module.params["path"])
        return "%d of %d scanner(s) differ from %s: %s" % (
            len(differing), count, module.params["path"],
            "; ".join("%s: %s" % (zrctl.label(s), " ".join(d["key"] for d in s["differences"]))
                      for s in differing))
    if module.check_mode:
        return "%d scanner(s): %d would change, %d match the profile" % (
            count, len(differing), count - len(differing))
    changed = [s for s in scanners if s.get("changed")]
    return "%d scanner(s): %d changed, %d already matched the profile" % (
        count, len(changed), count - len(differing))


def main():
    module = AnsibleModule(
        argument_spec=dict(
            path=dict(type="path", required=True),
            state=dict(type="str", default="applied", choices=["applied", "checked"]),
            ports=dict(type="list", elements="str"),
            device_numbers=dict(type="list", elements="str"),
            with_deviceno=dict(type="bool", default=False),
            jobs=dict(type="int"),
            executable=dict(type="path"),
        ),
        mutually_exclusive=[("ports", "device_numbers")],
        supports_check_mode=True,
    )
    if module.params["jobs"] is not None and module.params["jobs"] < 1:
        module.fail_json(msg="jobs must be 1 or more")
    executable = zrctl.find_zrctl(module)
    if module.params["ports"] or module.params["device_numbers"]:
        statuses, document = run_on_chosen(module, executable)
    else:
        statuses, document = run_on_all(module, executable)

    scanners = []
    for scanner in document.get("scanners") or []:
        scanner = dict(scanner)
        scanner["differences"] = zrctl.hide_secrets(scanner.get("differences"))
        scanners.append(scanner)
    differing = any(s.get("compliant") is False for s in scanners)
    reading_only = module.check_mode or module.params["state"] == "checked"
    if module.check_mode and module.params["state"] == "applied":
        # Ansible's check mode tells what a real run would change.
        changed = differing
    else:
        changed = not reading_only and bool(document.get("changed"))
    result = dict(
        changed=changed,
        compliant=bool(scanners) and all(s.get("compliant") for s in scanners),
        scanners=scanners,
        messages=zrctl.messages(document),
    )
    if module._diff:
        result["diff"] = diff_of(scanners, module.params["path"])

    def failed(status):
        return status != 0 and not (status == DIFFERS and reading_only)

    refused = any(failed(status) for status in statuses)
    audit_failed = module.params["state"] == "checked" and differing
    if refused or audit_failed or not scanners:
        words = list(result["messages"])
        # A scanner that failed without a message of its own (a setting
        # read back other than sent) is still named, with its keys.
        for scanner in scanners:
            if failed(scanner.get("status", 0)) and not scanner.get("messages"):
                keys = scanner.get("failed_keys") or []
                words.append("%s: failed%s" % (zrctl.label(scanner),
                                               ": " + " ".join(keys) if keys else ""))
        if audit_failed and not refused:
            words.insert(0, summary(module, scanners))
        result["rc"] = max(statuses) if statuses else None
        module.fail_json(msg="; ".join(words) or "zrctl ended with status %s" % result["rc"],
                         **result)
    result["msg"] = summary(module, scanners)
    module.exit_json(**result)


if __name__ == "__main__":
    main()

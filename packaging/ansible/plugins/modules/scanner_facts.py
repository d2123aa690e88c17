#!/usr/bin/python
# -*- coding: utf-8 -*-

DOCUMENTATION = r"""
---
module: scanner_facts
short_description: The ZR-series scanners plugged into a PC, as facts
description:
  - Lists the scanners plugged into the target with C(zrctl list --json) and
    sets the fact C(lumiq_scanners), one entry per scanner in port order
    with its port, device number and firmware version.
  - A scanner is asked for its device number and firmware and closed again;
    nothing is sent to it. A scanner another program holds (the settings
    window) is listed with the reason it could not be read.
  - A PC without scanners gives an empty list; that is no failure.
version_added: 1.0.0
author:
  - LumiqConfigTool maintainers
extends_documentation_fragment:
  - lumiq.scanners.zrctl
attributes:
  check_mode:
    description: Only reads, in check mode as otherwise.
    support: full
  diff_mode:
    description: Changes nothing, so has nothing to show.
    support: none
  facts:
    description: Sets C(lumiq_scanners).
    support: full
  platform:
    description: Targets where zrctl runs (Linux).
    platforms: posix
seealso:
  - module: lumiq.scanners.profile
"""

EXAMPLES = r"""
- name: Which scanners are plugged in
  become: true
  lumiq.scanners.scanner_facts:

- name: Name each scanner by its port
  ansible.builtin.debug:
    msg: "{{ item.port }}: {{ item.deviceno }} firmware {{ item.firmware }}"
  loop: "{{ ansible_facts.lumiq_scanners }}"

- name: Stop where a scanner runs other firmware
  ansible.builtin.assert:
    that: ansible_facts.lumiq_scanners | rejectattr('firmware', 'equalto', 'V2.0.7') | list | length == 0
"""

RETURN = r"""
ansible_facts:
  description: The facts set.
  returned: always
  type: complex
  contains:
    lumiq_scanners:
      description: One entry per scanner (its configuration interface), in port order.
      returned: always
      type: list
      elements: dict
      contains:
        path:
          description: The interface zrctl and the modules use for it (C(--device)).
          type: str
          sample: /dev/hidraw3
        port:
          description: Where it is plugged in (C(1-2.3) on Linux); null when the system does not tell.
          type: str
          sample: 1-2
        deviceno:
          description: Its device number, as profile text; null when it could not be read.
          type: str
          sample: A-1
        firmware:
          description: Its firmware version; null when it could not be read.
          type: str
          sample: V2.0.7
        unreadable:
          description: Why it could not be read (C(in use by another program), C(no permission)); null when it was.
          type: str
messages:
  description: zrctl's messages, such as that no scanner was found.
  returned: always
  type: list
  elements: str
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.lumiq.scanners.plugins.module_utils import zrctl

FIELDS = ("path", "port", "deviceno", "firmware", "unreadable")


def main():
    module = AnsibleModule(
        argument_spec=dict(executable=dict(type="path")),
        supports_check_mode=True,
    )
    status, listing = zrctl.run_json(module, zrctl.find_zrctl(module), ["list"])
    # No scanner found is status 1 with an empty list: a fact, not a
    # failure. A document without the list means zrctl could not look.
    if not isinstance(listing.get("interfaces"), list):
        module.fail_json(msg="; ".join(zrctl.messages(listing)) or
                         "zrctl list ended with status %d" % status, rc=status)
    scanners = [{field: entry.get(field) for field in FIELDS}
                for entry in zrctl.configuration_interfaces(listing)]
    module.exit_json(changed=False, ansible_facts={"lumiq_scanners": scanners},
                     messages=zrctl.messages(listing))


if __name__ == "__main__":
    main()

# -*- coding: utf-8 -*-

# What every module of the collection says alike: they all run zrctl on the
# target, and the scanners' device nodes decide who may.


class ModuleDocFragment(object):
    DOCUMENTATION = r"""
options:
  executable:
    description:
      - The zrctl program to run. Without it C(zrctl) is looked for on the
        target's C(PATH).
    type: path
notes:
  - On Linux the udev rule of package C(lumiq-zrctl) gives the scanners to
    the user logged in at the seat and to the group C(lumiq-scanner) only;
    run the task as root (C(become)) or as a member of that group.
requirements:
  - zrctl (package C(lumiq-zrctl)) on the target
"""

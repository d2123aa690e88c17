# -*- coding: utf-8 -*-
# Running zrctl on the target and reading its --json document, for the
# modules of this collection. zrctl does the work and decides what is
# compliant; these modules only choose the scanners and report.

import json

# The one secret a profile holds (the Wi-Fi password): its values never
# reach a task's result or diff, which end up in logs and on screens.
SECRET_KEYS = frozenset(["wifi0_stawskeykey"])
HIDDEN = "(hidden)"


def find_zrctl(module):
    executable = module.params.get("executable")
    if executable:
        return executable
    return module.get_bin_path("zrctl", required=True)


def run_json(module, executable, args):
    """(status, document) of `zrctl --json ARGS`.

    zrctl prints its document also when it fails; only a refused command
    line leaves standard output empty, and then the task fails with what
    zrctl said about it.
    """
    argv = [executable, "--json"] + list(args)
    rc, out, err = module.run_command(argv)
    try:
        document = json.loads(out)
    except ValueError:
        document = None
    if not isinstance(document, dict):
        module.fail_json(msg=own_words(err) or "zrctl printed no result (status %d)" % rc,
                         rc=rc, cmd=argv, stdout=out, stderr=err)
    return rc, document


def own_words(stderr):
    """zrctl's message without the usage text it prints after it, and
    without frames a --trace wrapper let through."""
    lines = []
    for line in stderr.splitlines():
        if line.startswith("usage:"):
            break
        if line.startswith(("> ", "< ")) or not line.strip():
            continue
        lines.append(line)
    return "; ".join(lines)


def label(scanner):
    """A scanner as zrctl's closing lines name it: PATH (port P, deviceno D)."""
    details = []
    if scanner.get("port") is not None:
        details.append("port %s" % scanner["port"])
    if scanner.get("deviceno") is not None:
        details.append("deviceno %s" % scanner["deviceno"])
    path = scanner.get("path") or "?"
    return "%s (%s)" % (path, ", ".join(details)) if details else path


def messages(document):
    """Every message of a document: the general ones, then each scanner's
    named by its scanner."""
    found = list(document.get("messages") or [])
    for scanner in document.get("scanners") or []:
        for message in scanner.get("messages") or []:
            found.append("%s: %s" % (label(scanner), message))
    return found


def configuration_interfaces(document):
    """The scanners of `zrctl --json list`: one entry per scanner, its
    configuration interface (interface 1)."""
    return [entry for entry in document.get("interfaces") or [] if entry.get("interface") == 1]


def hide_secrets(differences):
    hidden = []
    for difference in differences or []:
        difference = dict(difference)
        if difference.get("key") in SECRET_KEYS:
            for side in ("before", "after"):
                if difference.get(side) is not None:
                    difference[side] = HIDDEN
        hidden.append(difference)
    return hidden

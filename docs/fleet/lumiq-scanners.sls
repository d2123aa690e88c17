# Salt: the profile, then zrctl apply on the scanners plugged in, only where
# one differs; skipped while no scanner is plugged in.
/etc/lumiq/golden.profile:
  file.managed:
    - source: salt://lumiq/golden.profile
    - makedirs: True

lumiq-scanners:
  cmd.run:
    - name: zrctl --all apply --summary /etc/lumiq/golden.profile
    - stateful: True
    - onlyif: zrctl list
    - unless: zrctl --all check /etc/lumiq/golden.profile
    - require:
      - file: /etc/lumiq/golden.profile

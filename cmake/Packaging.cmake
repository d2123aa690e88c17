# Release packages, made with cpack in a configured build folder:
#   Linux:   cpack -G DEB   -> lumiqconfigtool_VERSION_ARCH.deb
#   Windows: cpack -G ZIP   -> LumiqConfigTool-VERSION-win64.zip (mingw build)
# Only what has install rules goes in: the programs, never the tests or the
# benchmarks.

set(CPACK_PACKAGE_NAME lumiqconfigtool)
set(CPACK_PACKAGE_VENDOR "The LumiqConfigTool developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${LUMIQ_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure ZR-series USB barcode, QR-code and NFC scanners")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "LumiqConfigTool-${PROJECT_VERSION}-win64")
  # The zip unpacks into one folder named like the file.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The synopsis line is the summary above; this is the long description.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "LumiqConfigTool reads and changes the settings of ZR-series barcode, QR-code
and NFC scanner modules connected over USB HID: the code types decoded, the
output framing and channel (serial port, emulated keyboard, Wi-Fi, Bluetooth)
and the behaviour around a scan. Saving writes every setting back and commits
it.
.
Also included: zrctl, which gets, sets, dumps and restores settings from the
command line, on one scanner or many; a demo of the application on a
simulated scanner; lumiq-virtual-scanner, a simulated scanner behind a real
kernel HID device (uhid); and a udev rule that lets the user at the seat open
the scanner without root.")
  # Libraries from the binaries; the font from the windows' Chinese texts,
  # which no library dependency brings in.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
  # Qt's own texts (the message boxes' buttons, the file dialogs) in Chinese
  # on a Chinese desktop; without them they stay English.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/deb/postinst
    ${PROJECT_SOURCE_DIR}/packaging/deb/postrm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)

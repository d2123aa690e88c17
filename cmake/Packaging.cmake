# Release packages, made with cpack in a configured build folder:
#   Linux:   cpack -G DEB   -> lumiqconfigtool_VERSION_ARCH.deb (the window)
#                              lumiq-zrctl_VERSION_ARCH.deb (the command line)
#   Windows: cpack -G ZIP   -> LumiqConfigTool-VERSION-win64.zip (mingw build)
# Only what has install rules goes in: the programs, never the tests or the
# benchmarks.

set(CPACK_PACKAGE_NAME lumiqconfigtool)
set(CPACK_PACKAGE_VENDOR "The LumiqConfigTool developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${LUMIQ_PACKAGE_MAINTAINER}")
set(LUMIQ_SUMMARY "configure ZR-series USB barcode, QR-code and NFC scanners")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${LUMIQ_SUMMARY}")
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "LumiqConfigTool-${PROJECT_VERSION}-win64")
  # The zip unpacks into one folder named like the file.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  # One package an install component.
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL cli desktop)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Libraries from the binaries.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # Each package's synopsis is the first line of its description: with no
  # summary of the project's, CPack puts none before it.

  set(CPACK_DEBIAN_CLI_PACKAGE_NAME ${LUMIQ_DEB_PACKAGE_cli})
  set(CPACK_COMPONENT_CLI_DESCRIPTION
    "command-line tools for ZR-series USB barcode, QR-code and NFC scanners
zrctl gets, sets, dumps and restores the settings of ZR-series barcode,
QR-code and NFC scanner modules connected over USB HID, on one scanner or
many, and compares them with a profile. As a provisioning station it gives a
profile to every scanner plugged in; the lumiq-station service runs it at
boot once the administrator has placed /etc/lumiq/site.profile and enabled
the service.
.
Also included: lumiq-virtual-scanner, a simulated scanner behind a real
kernel HID device (uhid), and a udev rule that lets the user at the seat, and
the members of group lumiq-scanner, open the scanner without root. Nothing
here needs a desktop.")
  set(CPACK_DEBIAN_CLI_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/deb/postinst
    ${PROJECT_SOURCE_DIR}/packaging/deb/prerm
    ${PROJECT_SOURCE_DIR}/packaging/deb/postrm)

  set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME ${LUMIQ_DEB_PACKAGE_desktop})
  set(CPACK_COMPONENT_DESKTOP_DESCRIPTION
    "${LUMIQ_SUMMARY}
LumiqConfigTool reads and changes the settings of ZR-series barcode, QR-code
and NFC scanner modules connected over USB HID: the code types decoded, the
output framing and channel (serial port, emulated keyboard, Wi-Fi, Bluetooth)
and the behaviour around a scan. Saving writes every setting back and commits
it.
.
Also included: a demo of the application on a simulated scanner. The
command-line tools and the udev rule come with lumiq-zrctl.")
  # The command line of the very same build; the font for the windows'
  # Chinese texts, which no library dependency brings in.
  set(CPACK_DEBIAN_DESKTOP_PACKAGE_DEPENDS
    "${LUMIQ_DEB_PACKAGE_cli} (= ${CPACK_PACKAGE_VERSION}), fonts-wqy-microhei")
  # Qt's own texts (the message boxes' buttons, the file dialogs) in Chinese
  # on a Chinese desktop; without them they stay English.
  set(CPACK_DEBIAN_DESKTOP_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()

include(CPack)

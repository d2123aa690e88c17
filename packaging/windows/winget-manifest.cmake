# Writes the winget manifests for a built MSI: its version, download address
# and SHA-256, ready to submit to the winget package repository.
#   cmake -DMSI=... -DVERSION=... -DURL=... -DUPGRADE_CODE=... -DTEMPLATES=DIR -DOUTPUT=DIR -P winget-manifest.cmake
file(SHA256 ${MSI} LUMIQ_MSI_SHA256)
string(TOUPPER ${LUMIQ_MSI_SHA256} LUMIQ_MSI_SHA256)
set(PROJECT_VERSION ${VERSION})
set(LUMIQ_MSI_URL ${URL})
set(LUMIQ_MSI_UPGRADE_CODE ${UPGRADE_CODE})
file(GLOB templates ${TEMPLATES}/*.yaml.in)
foreach(template ${templates})
  get_filename_component(name ${template} NAME)
  string(REGEX REPLACE "\\.in$" "" name ${name})
  configure_file(${template} ${OUTPUT}/${name} @ONLY)
endforeach()

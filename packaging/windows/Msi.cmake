# The Windows installer: `cmake --build build-win64 --target msi` writes
# LumiqConfigTool-VERSION-win64.msi into the build folder, from the same
# programs as the zip (stripped, as cpack strips them) and its README.txt.
# Beside it, winget/ holds the winget manifests for it (its SHA-256, and the
# address LUMIQ_MSI_URL_BASE says it is published at).
# Needs wixl (Debian package wixl) and msibuild (msitools), which puts in
# the condition of the station service's components that wixl cannot
# write; without them there is no msi target.
find_program(LUMIQ_WIXL wixl)
find_program(LUMIQ_MSIBUILD msibuild)
if(NOT LUMIQ_WIXL OR NOT LUMIQ_MSIBUILD OR NOT TARGET LumiqConfigTool OR NOT TARGET LumiqConfigTool-demo OR NOT TARGET zrctl)
  return()
endif()

# wixl takes the files' paths relative to where it runs: the stage folder.
set(stage ${CMAKE_CURRENT_BINARY_DIR}/msi)
file(MAKE_DIRECTORY ${stage})
set(LUMIQ_MSI ${PROJECT_BINARY_DIR}/LumiqConfigTool-${PROJECT_VERSION}-win64.msi)
set(wxs ${CMAKE_CURRENT_SOURCE_DIR}/windows/LumiqConfigTool.wxs)
set(condition ${CMAKE_CURRENT_SOURCE_DIR}/windows/station-condition.sql)
set(programs $<TARGET_FILE:LumiqConfigTool> $<TARGET_FILE:LumiqConfigTool-demo> $<TARGET_FILE:zrctl>)
add_custom_command(OUTPUT ${LUMIQ_MSI}
  COMMAND ${CMAKE_COMMAND} -E copy ${programs} ${CMAKE_CURRENT_BINARY_DIR}/README.txt
          ${PROJECT_SOURCE_DIR}/res/icons/lumiq.ico ${stage}
  COMMAND ${CMAKE_STRIP} LumiqConfigTool.exe LumiqConfigTool-demo.exe zrctl.exe
  COMMAND ${LUMIQ_WIXL} -a x64 -D SourceDir=. -D Version=${PROJECT_VERSION} -D IconFile=lumiq.ico
          -o ${LUMIQ_MSI} ${wxs}
  COMMAND sh -c "${LUMIQ_MSIBUILD} \"$1\" -q \"$(cat \"$2\")\"" msibuild ${LUMIQ_MSI} ${condition}
  WORKING_DIRECTORY ${stage}
  DEPENDS LumiqConfigTool LumiqConfigTool-demo zrctl ${wxs} ${condition} ${CMAKE_CURRENT_BINARY_DIR}/README.txt
  COMMENT "Building the MSI with wixl"
  VERBATIM)

# The upgrade code is the installer's, written once in the .wxs.
file(STRINGS ${wxs} upgrade_code REGEX "UpgradeCode=\"[0-9A-F-]+\"")
string(REGEX REPLACE ".*UpgradeCode=\"([0-9A-F-]+)\".*" "\\1" upgrade_code "${upgrade_code}")
set(LUMIQ_MSI_URL_BASE "https://releases.lumiq.example/LumiqConfigTool/${PROJECT_VERSION}"
    CACHE STRING "Where the released MSI can be downloaded (the winget manifest points there)")
get_filename_component(msi_name ${LUMIQ_MSI} NAME)
set(winget ${PROJECT_BINARY_DIR}/winget)
file(GLOB winget_templates ${CMAKE_CURRENT_SOURCE_DIR}/windows/winget/*.yaml.in)
add_custom_command(OUTPUT ${winget}/Lumiq.LumiqConfigTool.installer.yaml
  COMMAND ${CMAKE_COMMAND} -DMSI=${LUMIQ_MSI} -DVERSION=${PROJECT_VERSION}
          -DURL=${LUMIQ_MSI_URL_BASE}/${msi_name} -DUPGRADE_CODE=${upgrade_code}
          -DTEMPLATES=${CMAKE_CURRENT_SOURCE_DIR}/windows/winget -DOUTPUT=${winget}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/winget-manifest.cmake
  DEPENDS ${LUMIQ_MSI} ${winget_templates} ${CMAKE_CURRENT_SOURCE_DIR}/windows/winget-manifest.cmake
  VERBATIM)
add_custom_target(msi DEPENDS ${LUMIQ_MSI} ${winget}/Lumiq.LumiqConfigTool.installer.yaml)

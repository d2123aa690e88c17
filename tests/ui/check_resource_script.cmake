# Compiles each program's resource script with the cross resource compiler,
# turns the result back into text and looks for what Explorer, the installer
# and the About box read: icon 128, the manifest, the string table of the
# windowed programs, and a version record complete and right for the program
# (its own description and file name, not the application's).
#   cmake -DWINDRES=... -DSOURCE_DIR=... -DBUILT_RES_DIR=... -DVERSION=... -DWORK_DIR=...
#         -P check_resource_script.cmake
# BUILT_RES_DIR holds the version.h and manifests the build made; VERSION is
# the project's.

# The record writes 1.0.0.1 as "1, 0, 0, 1".
string(REPLACE "." ", " record_version "${VERSION}")

# check_program(PROGRAM SCRIPT DESCRIPTION ORIGINAL-FILENAME [EXPECTED...]):
# DESCRIPTION as windres prints it (\x escapes for what is not ASCII).
function(check_program program script description original)
  set(output ${WORK_DIR}/${program})
  execute_process(
    COMMAND ${WINDRES} -I${SOURCE_DIR}/res -I${BUILT_RES_DIR} -I${SOURCE_DIR}/res/program/${program}
            -i ${SOURCE_DIR}/res/${script} -O res -o ${output}.res
    RESULT_VARIABLE compiled ERROR_VARIABLE errors)
  if(NOT compiled EQUAL 0)
    message(FATAL_ERROR "${program}: the resource script does not compile: ${errors}")
  endif()
  execute_process(
    COMMAND ${WINDRES} -J res -i ${output}.res -O rc -o ${output}.rc.txt
    RESULT_VARIABLE decompiled)
  if(NOT decompiled EQUAL 0)
    message(FATAL_ERROR "${program}: the compiled resources do not read back")
  endif()
  file(READ ${output}.rc.txt text)
  foreach(expected
      "LANGUAGE 4, 2"
      "128 14 /* RT_GROUP_ICON */"
      "1 24 /* RT_MANIFEST */"
      # The manifest's version, its quotes doubled as windres prints them.
      "version=\"\"${VERSION}\"\""
      "FILEVERSION ${record_version}"
      "PRODUCTVERSION ${record_version}"
      "BLOCK \"080404b0\""
      "VALUE \"Comments\", \"\""
      "VALUE \"CompanyName\", \"The LumiqConfigTool developers\""
      "VALUE \"FileDescription\", ${description}"
      "VALUE \"FileVersion\", \"${record_version}\""
      "VALUE \"InternalName\", \"${program}\""
      "VALUE \"LegalCopyright\", \"Copyright 2026 the LumiqConfigTool developers\""
      "VALUE \"OriginalFilename\", \"${original}\""
      "VALUE \"ProductName\", L\"LumiqConfigTool \\x5e94\\x7528\\x7a0b\\x5e8f\""
      "VALUE \"ProductVersion\", \"${record_version}\""
      "VALUE \"Translation\", 0x804, 1200"
      ${ARGN})
    string(FIND "${text}" "${expected}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${program}: compiled resources lack: ${expected}")
    endif()
  endforeach()
endfunction()

set(about "101, L\"\\x5173\\x4e8e LumiqConfigTool(&A)...\"")
set(caption "57344, \"LumiqConfigTool\"")
check_program(LumiqConfigTool LumiqConfigTool.rc
  "L\"LumiqConfigTool \\x626b\\x63cf\\x5668\\x914d\\x7f6e\\x5de5\\x5177\""
  LumiqConfigTool.EXE "${about}" "${caption}")
check_program(LumiqConfigTool-demo LumiqConfigTool.rc
  "L\"LumiqConfigTool \\x6f14\\x793a\\xff08\\x6a21\\x62df\\x626b\\x63cf\\x5668\\xff09\""
  LumiqConfigTool-demo.exe "${about}" "${caption}")
check_program(zrctl zrctl.rc
  "L\"LumiqConfigTool \\x547d\\x4ee4\\x884c\\x5de5\\x5177\""
  zrctl.exe)

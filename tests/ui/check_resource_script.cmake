# Compiles res/LumiqConfigTool.rc with the cross resource compiler, turns the
# result back into text and looks for the version record, the string table,
# icon 128 and the manifest.
#   cmake -DWINDRES=... -DSOURCE_DIR=... -DWORK_DIR=... -P check_resource_script.cmake
execute_process(
  COMMAND ${WINDRES} -I${SOURCE_DIR}/res -i ${SOURCE_DIR}/res/LumiqConfigTool.rc
          -O res -o ${WORK_DIR}/lumiq.res
  RESULT_VARIABLE compiled ERROR_VARIABLE errors)
if(NOT compiled EQUAL 0)
  message(FATAL_ERROR "the resource script does not compile: ${errors}")
endif()
execute_process(
  COMMAND ${WINDRES} -J res -i ${WORK_DIR}/lumiq.res -O rc -o ${WORK_DIR}/lumiq.rc.txt
  RESULT_VARIABLE decompiled)
if(NOT decompiled EQUAL 0)
  message(FATAL_ERROR "the compiled resources do not read back")
endif()
file(READ ${WORK_DIR}/lumiq.rc.txt text)
foreach(expected
    "LANGUAGE 4, 2"
    "128 14 /* RT_GROUP_ICON */"
    "1 24 /* RT_MANIFEST */"
    "101, L\"\\x5173\\x4e8e LumiqConfigTool(&A)...\""
    "57344, \"LumiqConfigTool\""
    "FILEVERSION 1, 0, 0, 1"
    "PRODUCTVERSION 1, 0, 0, 1"
    "BLOCK \"080404b0\""
    "VALUE \"Comments\", \"\""
    "VALUE \"CompanyName\", \"\""
    "VALUE \"FileVersion\", \"1, 0, 0, 1\""
    "VALUE \"InternalName\", \"LumiqConfigTool\""
    "VALUE \"OriginalFilename\", \"LumiqConfigTool.EXE\""
    "VALUE \"ProductName\", L\"LumiqConfigTool \\x5e94\\x7528\\x7a0b\\x5e8f\""
    "VALUE \"ProductVersion\", \"1, 0, 0, 1\""
    "VALUE \"Translation\", 0x804, 1200")
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "compiled resources lack: ${expected}")
  endif()
endforeach()

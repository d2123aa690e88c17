# docs/settings.md is what `zrctl keys --markdown` prints. MODE=write writes
# it (the settings-reference target); MODE=check fails when the page in the
# tree differs from what the built zrctl prints (a test).
execute_process(COMMAND ${ZRCTL} keys --markdown OUTPUT_VARIABLE generated RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zrctl keys --markdown failed with ${status}")
endif()
if(MODE STREQUAL "write")
  file(WRITE ${PAGE} "${generated}")
  return()
endif()
file(READ ${PAGE} checked_in)
if(NOT checked_in STREQUAL generated)
  message(FATAL_ERROR "${PAGE} is not what zrctl keys --markdown prints: "
                      "cmake --build BUILD --target settings-reference writes it again")
endif()

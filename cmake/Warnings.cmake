# Warnings are errors on our own targets only; third-party code (GoogleTest,
# Qt's generated files) is left to its own flags.
function(lumiq_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
endfunction()

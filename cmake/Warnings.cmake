# Warnings on our own targets only; third-party code (GoogleTest, Qt's
# generated files) is left to its own flags. Turning them into errors is for
# our own test runs (LUMIQ_WERROR=ON): a user's or a packager's compiler, newer
# or older than ours, may warn where ours does not, and must still build.
option(LUMIQ_WERROR "Treat compiler warnings on the project's own targets as errors" OFF)

function(lumiq_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(LUMIQ_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(LUMIQ_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

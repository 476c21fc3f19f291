# Compiler settings for the project's own targets (not for third-party code).
function(bc_target_defaults target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
  if(WIN32)
    # Unicode Win32 entry points; keep windows.h lean and free of min/max.
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
endfunction()

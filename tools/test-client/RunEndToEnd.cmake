# End to end under Wine, in a prefix of this test's own: regsvr32 registers
# the plug-in, the test engine is installed as the product, the test client
# plays the player (also as Media Center), broken installations leave the
# player running without an engine, and regsvr32 /u removes the entries.
#
# cmake -DBIN=<folder with the DLLs and programs> -DPREFIX=<Wine prefix> -P RunEndToEnd.cmake

set(wine_env ${CMAKE_COMMAND} -E env WINEPREFIX=${PREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=d)
set(failures 0)

function(run_step name expected_result)
  execute_process(COMMAND ${wine_env} ${ARGN}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors WORKING_DIRECTORY ${BIN})
  message("=== ${name}: exit ${result}\n${output}")
  if(NOT "${result}" STREQUAL "${expected_result}")
    message("${errors}")
    message(SEND_ERROR "${name}: exit ${result}, expected ${expected_result}")
  endif()
endfunction()

if(NOT EXISTS ${PREFIX}/system.reg)
  file(MAKE_DIRECTORY ${PREFIX})
  execute_process(COMMAND ${wine_env} wineboot --init OUTPUT_QUIET ERROR_QUIET)
endif()
execute_process(COMMAND ${wine_env} wineserver -w)

set(maker "${PREFIX}/drive_c/Program Files/Brightcurrent")
set(product "${maker}/Lumatide")
set(engine_windows_path "C:\\Program Files\\Brightcurrent\\Lumatide\\TestEngine.dll")

# Installs the product folder with an engine.txt of the given text; a
# NONE text leaves the folder out.
function(install_product engine_txt)
  file(REMOVE_RECURSE "${maker}")
  if(engine_txt STREQUAL "NONE")
    return()
  endif()
  file(MAKE_DIRECTORY "${product}/Resources")
  foreach(library TestEngine TestEngineNoRelease TestEngineNullTable TestEngineInitFails TestEngineNotImage)
    file(COPY "${BIN}/${library}.dll" DESTINATION "${product}")
  endforeach()
  if(NOT engine_txt STREQUAL "NO_FILE")
    file(WRITE "${product}/Resources/engine.txt" "${engine_txt}")
  endif()
endfunction()

function(engine_txt_for library out)
  set(${out} "REVISION = 1\nPRODUCT_NAME = \"Lumatide\"\nVERSION = 1\nVERSION_STR = \"1.0.0\"\nLIB = \"${library}\"\n"
      PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${wine_env} winepath -w ${BIN}/BC_WMP.x64.dll
  OUTPUT_VARIABLE module OUTPUT_STRIP_TRAILING_WHITESPACE)

# From a clean registry: registering twice leaves one set of entries.
run_step("clean start" 0 wine regsvr32 /s /u BC_WMP.x64.dll)
run_step("regsvr32" 0 wine regsvr32 /s BC_WMP.x64.dll)
run_step("regsvr32 again" 0 wine regsvr32 /s BC_WMP.x64.dll)
run_step("registry after regsvr32" 0 wine test-client.exe registered "${module}")
run_step("type library" 0 wine test-client.exe typelib "${module}")

engine_txt_for(TestEngine.dll good)
install_product("${good}")
run_step("player with the test engine" 0 wine test-client.exe play "${engine_windows_path}")
run_step("Media Center with the test engine" 0 wine mediacenter/ehshell.exe play "${engine_windows_path}")
run_step("misbehaving engine" 0 wine test-client.exe misbehave "${engine_windows_path}")

engine_txt_for(Missing.dll missing_library)
engine_txt_for(TestEngineInitFails.dll init_fails)
engine_txt_for(TestEngineNoRelease.dll no_release)
engine_txt_for(TestEngineNullTable.dll null_table)
engine_txt_for(TestEngineNotImage.dll not_image)
foreach(case NONE NO_FILE missing_library init_fails no_release null_table not_image malformed)
  if(case STREQUAL "NONE" OR case STREQUAL "NO_FILE")
    set(text ${case})
  elseif(case STREQUAL "malformed")
    set(text "LIB = \"unterminated\n= = =\nREVISION = many\n\\\\\\\n")
  else()
    set(text "${${case}}")
  endif()
  install_product("${text}")
  run_step("broken installation: ${case}" 0 wine test-client.exe play-without-engine)
endforeach()
file(REMOVE_RECURSE "${maker}")

run_step("regsvr32 /u" 0 wine regsvr32 /s /u BC_WMP.x64.dll)
run_step("registry after regsvr32 /u" 0 wine test-client.exe unregistered)
run_step("regsvr32 /u again" 0 wine regsvr32 /s /u BC_WMP.x64.dll)
execute_process(COMMAND ${wine_env} wineserver -w)

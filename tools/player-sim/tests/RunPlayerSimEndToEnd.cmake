# End to end in a Wine prefix of its own: regsvr32 registers the plug-in,
# the sample engine is installed as the product, and the player simulator
# plays through them: in-process checks, the Media Center case, bad audio
# input, and a player left without a working engine.
#
# cmake -DBIN=<programs> -DPLUGIN=<BC_WMP.x64.dll> -DPRODUCT=<staged product folder>
#       -DDATA=<test data> -DPREFIX=<Wine prefix> -DSCRATCH=<folder> -P RunPlayerSimEndToEnd.cmake

set(wine_env ${CMAKE_COMMAND} -E env WINEPREFIX=${PREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=d)

# run_step(NAME EXPECTED_EXIT [MATCH regex]... COMMAND ...)
function(run_step name expected)
  cmake_parse_arguments(ARG "" "" "MATCH;COMMAND" ${ARGN})
  execute_process(COMMAND ${wine_env} ${ARG_COMMAND}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors WORKING_DIRECTORY ${BIN})
  message("=== ${name}: exit ${result}\n${output}${errors}")
  if(NOT "${result}" STREQUAL "${expected}")
    message(SEND_ERROR "${name}: exit ${result}, expected ${expected}")
  endif()
  foreach(pattern IN LISTS ARG_MATCH)
    if(NOT "${output}${errors}" MATCHES "${pattern}")
      message(SEND_ERROR "${name}: output does not match \"${pattern}\"")
    endif()
  endforeach()
endfunction()

if(NOT EXISTS ${PREFIX}/system.reg)
  file(MAKE_DIRECTORY ${PREFIX})
  execute_process(COMMAND ${wine_env} wineboot --init OUTPUT_QUIET ERROR_QUIET)
endif()
# A virtual desktop: without a window manager Wine waits on every hidden
# top-level window (the engine's full-screen window) for about a second.
execute_process(COMMAND ${wine_env} wine reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /d Default /f
                OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${wine_env} wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Default /d 1280x800 /f
                OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${wine_env} wineserver -w)

set(maker "${PREFIX}/drive_c/Program Files/Brightcurrent")
function(install_product)
  file(REMOVE_RECURSE "${maker}")
  file(COPY "${PRODUCT}" DESTINATION "${maker}")
endfunction()

execute_process(COMMAND ${wine_env} winepath -w ${PLUGIN} OUTPUT_VARIABLE plugin OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${wine_env} winepath -w ${SCRATCH} OUTPUT_VARIABLE scratch OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${wine_env} winepath -w ${DATA} OUTPUT_VARIABLE data OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})

run_step("regsvr32" 0 COMMAND wine regsvr32 /s "${plugin}")
run_step("installed visualizations" 0 MATCH "Lumatide" COMMAND wine player-sim.exe --list)
install_product()

run_step("player objects with the plug-in and the sample engine" 0 COMMAND wine player_sim_e2e.exe)
run_step("Media Center" 0 MATCH "Media Center case" "'Nset' +0 75 0 75" "engine rate"
         COMMAND wine ehshell.exe --seconds 3 --quiet)
run_step("demo-like run with screenshots" 0 MATCH "full screen +1 trip" "PNG file"
         COMMAND wine player-sim.exe --seconds 6 --quiet --screenshot-every 1 --out "${scratch}\\shots"
                 --script 2:alt+enter,4:alt+enter)
file(GLOB pictures ${SCRATCH}/shots/*.png)
list(LENGTH pictures picture_count)
if(picture_count LESS 5)
  message(SEND_ERROR "screenshots: ${picture_count} PNG files, expected at least 5")
endif()

# Bad audio: a clear reason naming the file, exit 2, no output folder.
foreach(case "missing.wav|file not found" "truncated.wav|truncated" "notes.txt|not an audio file"
             "adpcm.wav|unsupported format")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 file)
  list(GET parts 1 reason)
  run_step("bad input ${file}" 2 MATCH "${file}: ${reason}"
           COMMAND wine player-sim.exe "${data}\\${file}" --screenshot-every 1 --out "${scratch}\\bad")
endforeach()
if(EXISTS ${SCRATCH}/bad)
  message(SEND_ERROR "bad input left an output folder behind")
endif()

# No engine, then a broken one: the player keeps playing and says so.
file(REMOVE_RECURSE "${maker}")
run_step("no engine installed" 3 MATCH "shows nothing" "played +2" COMMAND wine player-sim.exe --seconds 2 --quiet)
run_step("no engine, tolerated" 0 MATCH "shows nothing" COMMAND wine player-sim.exe --seconds 2 --quiet --tolerate-blank)
install_product()
file(WRITE "${maker}/Lumatide/Resources/engine.txt" "REVISION = 1\nPRODUCT_NAME = \"Lumatide\"\nVERSION = 1\nLIB = \"Resources\\\\engine.txt\"\n")
run_step("broken engine" 3 MATCH "shows nothing" COMMAND wine player-sim.exe --seconds 2 --quiet)
file(REMOVE_RECURSE "${maker}")

run_step("regsvr32 /u" 0 COMMAND wine regsvr32 /s /u "${plugin}")
execute_process(COMMAND ${wine_env} wineserver -w)

# SPDX-License-Identifier: GPL-3.0-or-later
# The command lines of both programs, run for real (ctest: command_line):
#   cmake -DZELBO=build/zelbo -DZELBO_CLI=build/zelbo-cli -DVERSION=1.1.0 \
#         -P tests/ui/command_line_test.cmake
# zelbo answers --help and --version without a display, refuses what is not its own option (Qt's
# options included) with status 2, and without a window system ends with one line and status 1,
# never with Qt's abort; zelbo-cli answers --help and --version on standard output.

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "${text}")
endfunction()

# run(PREFIX [ENV NAME=VALUE...] [TIMEOUT S] COMMAND program args...): PREFIX_status, PREFIX_out
# and PREFIX_err, with DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset unless ENV sets them.
function(run prefix)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "ENV;COMMAND")
  set(timeout)
  if(arg_TIMEOUT)
    set(timeout TIMEOUT ${arg_TIMEOUT})
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=QT_QPA_PLATFORM ${arg_ENV} ${arg_COMMAND}
    ${timeout} INPUT_FILE /dev/null
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${prefix}_status "${status}" PARENT_SCOPE)
  set(${prefix}_out "${out}" PARENT_SCOPE)
  set(${prefix}_err "${err}" PARENT_SCOPE)
endfunction()

function(expect what got want)
  if(NOT "${got}" STREQUAL "${want}")
    fail("${what}: '${got}' where '${want}' was expected")
  endif()
endfunction()

# ---- --help and --version, with no display at all ----------------------------------------------

foreach(option --help -h)
  run(help COMMAND "${ZELBO}" ${option})
  expect("zelbo ${option}: status" "${help_status}" 0)
  expect("zelbo ${option}: standard error" "${help_err}" "")
  if(NOT help_out MATCHES "^Usage: zelbo \\[options\\] \\[FILE.KRP \\| FILE.pdn\\]\n"
     OR NOT help_out MATCHES "--help" OR NOT help_out MATCHES "--version")
    fail("zelbo ${option} printed:\n${help_out}")
  endif()
endforeach()
foreach(program zelbo zelbo-cli)
  set(path "${ZELBO}")
  if(program STREQUAL "zelbo-cli")
    set(path "${ZELBO_CLI}")
  endif()
  run(version COMMAND "${path}" --version)
  expect("${program} --version" "${version_status}|${version_out}|${version_err}"
         "0|${program} ${VERSION}\n|")
endforeach()
run(cli_help COMMAND "${ZELBO_CLI}" --help)
expect("zelbo-cli --help: status and standard error" "${cli_help_status}|${cli_help_err}" "0|")
if(NOT cli_help_out MATCHES "^usage: zelbo-cli play .*\n +zelbo-cli --help \\| --version\n")
  fail("zelbo-cli --help printed:\n${cli_help_out}")
endif()

# ---- Only the program's own options are options ------------------------------------------------

foreach(arguments "-reverse" "-style;X" "-platform;good.KRP" "good.KRP;-reverse" "--bogus")
  run(bad ENV QT_QPA_PLATFORM=offscreen COMMAND "${ZELBO}" ${arguments})
  list(GET arguments 0 option)
  if(option STREQUAL "good.KRP")
    set(option -reverse)
  endif()
  string(REGEX REPLACE "^-+" "" name "${option}")
  expect("zelbo ${arguments}" "${bad_status}|${bad_out}|${bad_err}"
         "2||zelbo: Unknown option '${name}'.\nusage: zelbo [--help | --version] [--] [FILE.KRP | FILE.pdn]\n")
endforeach()

# ---- No window system: one line and status 1 ---------------------------------------------------

set(no_display "zelbo: no window can be opened: neither DISPLAY nor WAYLAND_DISPLAY is set (zelbo-cli plays the game in a terminal)\n")
foreach(platform "" "QT_QPA_PLATFORM=xcb" "QT_QPA_PLATFORM=wayland"
        "QT_QPA_PLATFORM=wayland-egl:option")
  run(alone ENV ${platform} COMMAND "${ZELBO}" game.KRP)
  expect("zelbo with no display (${platform})" "${alone_status}|${alone_out}|${alone_err}"
         "1||${no_display}")
endforeach()
# A display that is set but cannot be reached: Qt's own warnings, then the program's line.
run(gone ENV DISPLAY=:31999.0 COMMAND "${ZELBO}")
if(NOT gone_status STREQUAL "1" OR NOT gone_err MATCHES
   "\nzelbo: no window can be opened: the display cannot be reached \\(DISPLAY=:31999.0, WAYLAND_DISPLAY unset\\)\n$")
  fail("zelbo on a display that is gone: status ${gone_status}\n${gone_err}")
endif()
# A platform that needs no display runs (it is still running when stopped).
run(offscreen ENV QT_QPA_PLATFORM=offscreen TIMEOUT 3 COMMAND "${ZELBO}")
if(NOT offscreen_status MATCHES "timeout")
  fail("zelbo on the offscreen platform ended: ${offscreen_status}\n${offscreen_err}")
endif()

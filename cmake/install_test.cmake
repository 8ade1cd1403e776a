# The installed layout, checked from a temporary prefix (ctest: install_layout):
#   cmake -DBUILD=build -DSOURCE=. -P cmake/install_test.cmake
# The programs with the skins and the store beside them, the desktop entry naming the installed
# program and icon, the programs running from there, and a reinstall keeping the user's store.
set(prefix "${BUILD}/install-test")
file(REMOVE_RECURSE "${prefix}")

function(install_into)
  execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
                  RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
  endif()
endfunction()

function(expect_same installed shipped)
  if(NOT EXISTS "${prefix}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
  file(SHA256 "${prefix}/${installed}" got)
  file(SHA256 "${shipped}" want)
  if(NOT got STREQUAL want)
    message(FATAL_ERROR "${installed} differs from ${shipped}")
  endif()
endfunction()

install_into()

foreach(program zelbo zelbo-cli)
  if(NOT EXISTS "${prefix}/${program}" OR IS_DIRECTORY "${prefix}/${program}")
    message(FATAL_ERROR "not installed: ${program}")
  endif()
  execute_process(COMMAND test -x "${prefix}/${program}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${program} is not executable")
  endif()
endforeach()

file(GLOB_RECURSE skin_files RELATIVE "${SOURCE}/assets" "${SOURCE}/assets/SKIN/*")
if(NOT skin_files)
  message(FATAL_ERROR "no shipped skin found under ${SOURCE}/assets/SKIN")
endif()
foreach(f ${skin_files})
  expect_same("${f}" "${SOURCE}/assets/${f}")
endforeach()
expect_same(share/icons/hicolor/128x128/apps/zelbo.png "${SOURCE}/assets/icons/zelbo-128.png")

set(store "${SOURCE}/assets/braskel.exp")
if(EXISTS "${store}")
  expect_same(braskel.exp "${store}")
endif()

set(entry "${prefix}/share/applications/zelbo.desktop")
if(NOT EXISTS "${entry}")
  message(FATAL_ERROR "no desktop entry")
endif()
file(STRINGS "${entry}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=\"${prefix}/zelbo\" %f")
  message(FATAL_ERROR "desktop entry runs '${exec}'")
endif()
file(STRINGS "${entry}" icon REGEX "^Icon=")
if(NOT icon STREQUAL "Icon=${prefix}/share/icons/hicolor/128x128/apps/zelbo.png")
  message(FATAL_ERROR "desktop entry shows '${icon}'")
endif()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE status OUTPUT_VARIABLE said
                  ERROR_VARIABLE said)
  if(NOT status EQUAL 0 OR said MATCHES "error")
    message(FATAL_ERROR "desktop-file-validate: ${said}")
  endif()
endif()

# The installed zelbo-cli plays from where it is.
execute_process(COMMAND "${prefix}/zelbo-cli" play INPUT_FILE /dev/null
                RESULT_VARIABLE status OUTPUT_VARIABLE transcript)
if(NOT status EQUAL 0 OR NOT transcript MATCHES "^state side=-1 ")
  message(FATAL_ERROR "installed zelbo-cli: ${status} ${transcript}")
endif()

# A reinstall replaces nothing the user changed in the store, and brings the store back when the
# user removed it.
file(WRITE "${prefix}/braskel.exp" "the user's own records")
install_into()
file(READ "${prefix}/braskel.exp" kept)
if(NOT kept STREQUAL "the user's own records")
  message(FATAL_ERROR "a reinstall overwrote the user's braskel.exp")
endif()
if(EXISTS "${store}")
  file(REMOVE "${prefix}/braskel.exp")
  install_into()
  expect_same(braskel.exp "${store}")
endif()

file(REMOVE_RECURSE "${prefix}")

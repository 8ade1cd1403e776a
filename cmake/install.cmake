# SPDX-License-Identifier: GPL-3.0-or-later
# Two ways to install the same build.
#
# `cmake --install BUILD --prefix PREFIX [--strip]` lays the program out as a system program:
#   PREFIX/bin/zelbo, PREFIX/bin/zelbo-cli (games/ with -DZELBO_INSTALL_BINDIR=games)
#   PREFIX/share/zelbo/SKIN/, PREFIX/share/zelbo/braskel.exp   the shipped files, read only
#   PREFIX/share/applications/, share/metainfo/, share/icons/hicolor/, share/man/man6/,
#   share/doc/zelbo/
# Installed so, the program keeps what the user changes in $XDG_DATA_HOME/zelbo and writes nothing
# under PREFIX.
#
# `cmake --install BUILD --component portable --prefix DIR [--strip]` makes a portable folder, as
# the program runs from the build folder: DIR/zelbo and DIR/zelbo-cli with SKIN/ and braskel.exp
# beside them, where the experience editor saves. A reinstall keeps the store found there.
include(GNUInstallDirs)

set(ZELBO_ASSETS ${PROJECT_SOURCE_DIR}/assets)
set(ZELBO_SHARE ${PROJECT_SOURCE_DIR}/share)
set(ZELBO_APP_ID org.zelbo.zelbo)

# The installed program finds its shipped files from its own folder: PREFIX/bin or PREFIX/games,
# and PREFIX/share/zelbo.
set(ZELBO_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
    "Where the programs are installed under the prefix: bin or games")
if(NOT ZELBO_INSTALL_BINDIR MATCHES "^(bin|games)$")
  message(FATAL_ERROR "ZELBO_INSTALL_BINDIR is '${ZELBO_INSTALL_BINDIR}': the program finds its "
                      "shipped files only from bin or games")
endif()
set(ZELBO_INSTALL_DATADIR share/zelbo)
set(ZELBO_SCREENSHOTS_URL "https://zelbo.invalid/screenshots" CACHE STRING
    "Where the screenshots of share/screenshots/ are published, for the AppStream metainfo")

# ---- The system layout -------------------------------------------------------------------------

install(TARGETS zelbo zelbo-cli RUNTIME DESTINATION ${ZELBO_INSTALL_BINDIR})
install(DIRECTORY ${ZELBO_ASSETS}/SKIN DESTINATION ${ZELBO_INSTALL_DATADIR})
if(EXISTS ${ZELBO_ASSETS}/braskel.exp)
  install(FILES ${ZELBO_ASSETS}/braskel.exp DESTINATION ${ZELBO_INSTALL_DATADIR})
endif()

foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${ZELBO_ASSETS}/desktop/zelbo-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${ZELBO_APP_ID}.png)
endforeach()
install(FILES ${ZELBO_ASSETS}/desktop/zelbo.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps
        RENAME ${ZELBO_APP_ID}.svg)

configure_file(${ZELBO_SHARE}/${ZELBO_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/share/${ZELBO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/share/${ZELBO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# The manual pages and the change log, compressed as Debian wants them, with no time stamp.
set(ZELBO_GZIPPED)
foreach(file man/zelbo.6 man/zelbo-cli.6 changelog)
  set(gzipped ${CMAKE_BINARY_DIR}/share/${file}.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/man
    COMMAND sh -c "gzip -9n -c '${ZELBO_SHARE}/${file}' > '${gzipped}'"
    DEPENDS ${ZELBO_SHARE}/${file} VERBATIM)
  list(APPEND ZELBO_GZIPPED ${gzipped})
endforeach()
add_custom_target(zelbo_share ALL DEPENDS ${ZELBO_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/share/man/zelbo.6.gz ${CMAKE_BINARY_DIR}/share/man/zelbo-cli.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${ZELBO_SHARE}/copyright ${CMAKE_BINARY_DIR}/share/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The desktop entry names the program by its installed path. Its icon is found by name in a
# system prefix, whose share/ the desktop searches, and by its path in any other.
function(zelbo_install_desktop_entry program_dir component)
  install(CODE "
    set(ZELBO_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${program_dir}/zelbo\")
    string(REPLACE \"/./\" \"/\" ZELBO_PROGRAM \"\${ZELBO_PROGRAM}\")
    if(CMAKE_INSTALL_PREFIX MATCHES \"^/usr(/local)?/?$\")
      set(ZELBO_ICON ${ZELBO_APP_ID})
    else()
      set(ZELBO_ICON \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/256x256/apps/${ZELBO_APP_ID}.png\")
    endif()
    configure_file(\"${ZELBO_SHARE}/${ZELBO_APP_ID}.desktop.in\"
                   \"${CMAKE_BINARY_DIR}/share/${component}/${ZELBO_APP_ID}.desktop\" @ONLY)
    file(INSTALL \"${CMAKE_BINARY_DIR}/share/${component}/${ZELBO_APP_ID}.desktop\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/applications\")
  " ${ARGN})
endfunction()
zelbo_install_desktop_entry(${ZELBO_INSTALL_BINDIR} system)

# ---- The portable folder -----------------------------------------------------------------------

set(ZELBO_PORTABLE COMPONENT portable EXCLUDE_FROM_ALL)
install(TARGETS zelbo zelbo-cli RUNTIME DESTINATION . ${ZELBO_PORTABLE})
install(DIRECTORY ${ZELBO_ASSETS}/SKIN DESTINATION . ${ZELBO_PORTABLE})
install(CODE "
  set(store \"${ZELBO_ASSETS}/braskel.exp\")
  if(EXISTS \"\${store}\" AND NOT EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/braskel.exp\")
    file(INSTALL \"\${store}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}\"
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
" ${ZELBO_PORTABLE})
install(FILES ${ZELBO_ASSETS}/desktop/zelbo-256.png
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/256x256/apps
        RENAME ${ZELBO_APP_ID}.png ${ZELBO_PORTABLE})
zelbo_install_desktop_entry(. portable ${ZELBO_PORTABLE})

# Both layouts checked from temporary prefixes, the installed programs run from there. Each
# stripped program stays under 2 MB, except in the sanitizers' builds.
set(ZELBO_SIZE_LIMIT 2000000)
if(CMAKE_BUILD_TYPE MATCHES "^(Sanitize|Fuzz)$")
  set(ZELBO_SIZE_LIMIT 0)
endif()
add_test(NAME install_layout
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
          -DBINDIR=${ZELBO_INSTALL_BINDIR} -DSIZE_LIMIT=${ZELBO_SIZE_LIMIT}
          -P ${PROJECT_SOURCE_DIR}/cmake/install_test.cmake)
set_tests_properties(install_layout PROPERTIES LABELS install RUN_SERIAL TRUE)

include(${PROJECT_SOURCE_DIR}/cmake/package.cmake)

# SPDX-License-Identifier: GPL-3.0-or-later
# Two ways to install the same build.
#
# `cmake --install BUILD --prefix PREFIX [--strip]` lays the program out as a system program:
#   PREFIX/bin/zelbo, PREFIX/bin/zelbo-cli (games/ with -DZELBO_INSTALL_BINDIR=games)
#   PREFIX/share/zelbo/SKIN/, PREFIX/share/zelbo/braskel.exp   the shipped files, read only
#   PREFIX/share/zelbo/endgame.tables                         built by zelbo-cli at build time
#   PREFIX/share/applications/, share/metainfo/, share/mime/packages/, share/icons/hicolor/,
#   share/man/man6/, share/doc/zelbo/
# Installed so, the program keeps what the user changes in $XDG_DATA_HOME/zelbo and writes nothing
# under PREFIX. Installed straight into a prefix (not for a package, not under DESTDIR), the
# prefix's MIME and desktop databases are brought up to date, so that its saved games open from a
# file manager at once.
#
# `cmake --install BUILD --component portable --prefix DIR [--strip]` makes a portable folder, as
# the program runs from the build folder: DIR/zelbo and DIR/zelbo-cli with SKIN/ and braskel.exp
# beside them, where the experience editor saves, and endgame.tables. A reinstall keeps the store
# found there.
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

# The file types the program opens, each a mime-type of share/org.zelbo.zelbo.mime.xml: the desktop
# entry's MimeType and the metainfo's media types name every one.
set(ZELBO_MIME_PACKAGE ${ZELBO_SHARE}/${ZELBO_APP_ID}.mime.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZELBO_MIME_PACKAGE})
file(STRINGS ${ZELBO_MIME_PACKAGE} mime_lines REGEX "<mime-type type=\"[^\"]+\"")
set(ZELBO_MIME_TYPES "")
set(ZELBO_MEDIA_TYPES "")
foreach(line ${mime_lines})
  string(REGEX REPLACE ".*<mime-type type=\"([^\"]+)\".*" "\\1" type "${line}")
  string(APPEND ZELBO_MIME_TYPES "${type};")
  string(APPEND ZELBO_MEDIA_TYPES "\n    <mediatype>${type}</mediatype>")
endforeach()

# ---- The system layout -------------------------------------------------------------------------

install(TARGETS zelbo zelbo-cli RUNTIME DESTINATION ${ZELBO_INSTALL_BINDIR})
install(DIRECTORY ${ZELBO_ASSETS}/SKIN DESTINATION ${ZELBO_INSTALL_DATADIR})
install(FILES ${ZELBO_TABLES_FILE} DESTINATION ${ZELBO_INSTALL_DATADIR})
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

install(FILES ${ZELBO_MIME_PACKAGE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages
        RENAME ${ZELBO_APP_ID}.xml)

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

# The system layout's desktop entry names the program and its icon as the desktop finds them, on
# the PATH and in the icon theme.
set(ZELBO_EXEC zelbo)
set(ZELBO_TRY_EXEC zelbo)
set(ZELBO_ICON ${ZELBO_APP_ID})
configure_file(${ZELBO_SHARE}/${ZELBO_APP_ID}.desktop.in
               ${CMAKE_BINARY_DIR}/share/system/${ZELBO_APP_ID}.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/share/system/${ZELBO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)

# The caches a desktop reads file types and their programs from, made anew for the prefix. A
# package leaves them to the system's own triggers, and a staged install (DESTDIR) to whoever
# installs the stage.
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\" AND NOT CPACK_GENERATOR)
    set(share \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}\")
    foreach(tool_and_folder \"update-mime-database;mime\" \"update-desktop-database;applications\")
      list(GET tool_and_folder 0 tool)
      list(GET tool_and_folder 1 folder)
      find_program(ZELBO_\${tool} \${tool})
      if(ZELBO_\${tool})
        execute_process(COMMAND \"\${ZELBO_\${tool}}\" \"\${share}/\${folder}\" OUTPUT_QUIET)
      else()
        message(STATUS \"\${tool} not found: \${share}/\${folder} left as it was\")
      endif()
    endforeach()
  endif()
")
# ---- The portable folder -----------------------------------------------------------------------

set(ZELBO_PORTABLE COMPONENT portable EXCLUDE_FROM_ALL)
install(TARGETS zelbo zelbo-cli RUNTIME DESTINATION . ${ZELBO_PORTABLE})
install(DIRECTORY ${ZELBO_ASSETS}/SKIN DESTINATION . ${ZELBO_PORTABLE})
install(FILES ${ZELBO_TABLES_FILE} DESTINATION . ${ZELBO_PORTABLE})
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
install(FILES ${ZELBO_MIME_PACKAGE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages
        RENAME ${ZELBO_APP_ID}.xml ${ZELBO_PORTABLE})
# The portable folder lies outside the desktop's search paths: its entry names the program and the
# icon by their paths in the folder.
install(CODE "
  set(ZELBO_EXEC \"\\\"\${CMAKE_INSTALL_PREFIX}/zelbo\\\"\")
  set(ZELBO_TRY_EXEC \"\${CMAKE_INSTALL_PREFIX}/zelbo\")
  set(ZELBO_ICON \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/256x256/apps/${ZELBO_APP_ID}.png\")
  set(ZELBO_MIME_TYPES \"${ZELBO_MIME_TYPES}\")
  configure_file(\"${ZELBO_SHARE}/${ZELBO_APP_ID}.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/share/portable/${ZELBO_APP_ID}.desktop\" @ONLY)
  file(INSTALL \"${CMAKE_BINARY_DIR}/share/portable/${ZELBO_APP_ID}.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/applications\")
" ${ZELBO_PORTABLE})

# Both layouts checked from temporary prefixes, the installed programs run from there. Each
# stripped program stays under 2 MB, except in the sanitizers' builds.
set(ZELBO_SIZE_LIMIT 2000000)
if(CMAKE_BUILD_TYPE MATCHES "^(Sanitize|Fuzz)$")
  set(ZELBO_SIZE_LIMIT 0)
endif()
add_test(NAME install_layout
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
          -DBINDIR=${ZELBO_INSTALL_BINDIR} -DSIZE_LIMIT=${ZELBO_SIZE_LIMIT}
          -DVERSION=${PROJECT_VERSION} -DSCREENSHOTS_URL=${ZELBO_SCREENSHOTS_URL}
          -P ${PROJECT_SOURCE_DIR}/cmake/install_test.cmake)
set_tests_properties(install_layout PROPERTIES LABELS install RUN_SERIAL TRUE)

include(${PROJECT_SOURCE_DIR}/cmake/package.cmake)

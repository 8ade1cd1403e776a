# `cmake --install BUILD --prefix DIR` lays the program out as it runs from the build folder:
# DIR/zelbo and DIR/zelbo-cli with "SKIN/" and the sample "braskel.exp" beside them, which the
# program finds beside its executable, plus a desktop entry and the icon under DIR/share. The
# store is the user's once installed: a reinstall never overwrites one that is there.
set(ZELBO_ASSETS ${PROJECT_SOURCE_DIR}/assets)

install(TARGETS zelbo zelbo-cli RUNTIME DESTINATION .)
install(DIRECTORY ${ZELBO_ASSETS}/SKIN DESTINATION .)

install(CODE "
  set(store \"${ZELBO_ASSETS}/braskel.exp\")
  if(EXISTS \"\${store}\" AND NOT EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/braskel.exp\")
    file(INSTALL \"\${store}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}\"
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
")

set(ZELBO_ICON_DIR share/icons/hicolor/128x128/apps)
install(FILES ${ZELBO_ASSETS}/icons/zelbo-128.png DESTINATION ${ZELBO_ICON_DIR} RENAME zelbo.png)

# The entry names the program and its icon by their installed paths, so that it works from any
# prefix, also when it is linked into ~/.local/share/applications.
install(CODE "
  set(ZELBO_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/zelbo\")
  set(ZELBO_ICON \"\${CMAKE_INSTALL_PREFIX}/${ZELBO_ICON_DIR}/zelbo.png\")
  configure_file(\"${PROJECT_SOURCE_DIR}/share/zelbo.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/zelbo.desktop\" @ONLY)
  file(INSTALL \"${CMAKE_BINARY_DIR}/zelbo.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/applications\")
")

# The layout checked from a temporary prefix, a reinstall over a changed store included.
add_test(NAME install_layout
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
          -P ${PROJECT_SOURCE_DIR}/cmake/install_test.cmake)
set_tests_properties(install_layout PROPERTIES LABELS install RUN_SERIAL TRUE)

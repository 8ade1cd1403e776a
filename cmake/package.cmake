# SPDX-License-Identifier: GPL-3.0-or-later
# `cpack` in a build folder makes the Debian package of the system layout, under /usr with the
# programs in ZELBO_INSTALL_BINDIR, stripped, its library dependencies found by dpkg-shlibdeps.
# `make package` builds it with Debian's hardening flags.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelbo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Zelbo developers <zelbo@zelbo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draughts against the computer, with a French interface")
# The extended description under the summary: paragraphs apart by an empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zelbo is a game of draughts on an 8 x 8 board. You play against the
computer, which plays the longest capture chain it can find or the plain
move that leaves you least to take, or two people share the mouse.

The computer can be taught positions and the move to play in them in the
experience editor; skins change the board and the pieces. zelbo-cli plays
the same game in a terminal, for scripts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its window-system plugins and the program its font at run time, out of sight of
# dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-translations-l10n")
# Qt takes its Wayland plugin wherever it is installed: on a Wayland desktop the window is a native
# Wayland window rather than one of Xwayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

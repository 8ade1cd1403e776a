# SPDX-License-Identifier: GPL-3.0-or-later
# Both install layouts, checked from temporary prefixes (ctest: install_layout):
#   cmake -DBUILD=$PWD/build -DSOURCE=$PWD -DBINDIR=bin -DSIZE_LIMIT=2000000 \
#         -P cmake/install_test.cmake
# The system layout file by file, its desktop entry and metainfo validated where the tools are
# installed, the stripped programs' sizes, and the installed zelbo-cli run for a user with an empty
# home: it reads the shipped store and skins, lists the user's own skin, and nothing under the
# prefix changes. Then the portable folder, with a reinstall keeping the user's store.
cmake_minimum_required(VERSION 3.25)
set(root "${BUILD}/install-test")
file(REMOVE_RECURSE "${root}")
set(prefix "${root}/usr")
set(home "${root}/home")
set(app org.zelbo.zelbo)

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "${text}")
endfunction()

function(install_into destination)
  execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${destination}" --strip
                          ${ARGN}
                  RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    fail("cmake --install ${ARGN} failed: ${status}")
  endif()
endfunction()

function(expect_same installed shipped)
  if(NOT EXISTS "${installed}")
    fail("not installed: ${installed}")
  endif()
  file(SHA256 "${installed}" got)
  file(SHA256 "${shipped}" want)
  if(NOT got STREQUAL want)
    fail("${installed} differs from ${shipped}")
  endif()
endfunction()

# A program that is there, executable and stripped, under SIZE_LIMIT bytes (0: any size).
function(expect_program path)
  if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
    fail("not installed: ${path}")
  endif()
  execute_process(COMMAND test -x "${path}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    fail("${path} is not executable")
  endif()
  file(SIZE "${path}" size)
  if(SIZE_LIMIT GREATER 0 AND size GREATER SIZE_LIMIT)
    fail("${path} holds ${size} bytes, more than ${SIZE_LIMIT}: is it stripped?")
  endif()
  message(STATUS "${path}: ${size} bytes")
endfunction()

function(expect_line file regex want)
  file(STRINGS "${file}" got REGEX "${regex}")
  if(NOT got STREQUAL want)
    fail("${file}: '${got}' where '${want}' was expected")
  endif()
endfunction()

# Every file and folder under `folder` with its size and modification time.
function(listing folder out)
  file(GLOB_RECURSE entries LIST_DIRECTORIES true "${folder}/*")
  set(lines)
  foreach(entry ${entries})
    file(TIMESTAMP "${entry}" time "%s" UTC)
    set(size "")
    if(NOT IS_DIRECTORY "${entry}")
      file(SIZE "${entry}" size)
    endif()
    list(APPEND lines "${entry} ${size} ${time}")
  endforeach()
  list(SORT lines)
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# A tool that judges an installed file, when it is installed: the desktop entry, the metainfo.
function(validate tool file)
  find_program(program ${tool})
  if(NOT program)
    message(STATUS "${tool} not installed: ${file} not validated")
    return()
  endif()
  execute_process(COMMAND "${program}" ${ARGN} "${file}" RESULT_VARIABLE status
                  OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT status EQUAL 0 OR said MATCHES "error|warning")
    fail("${tool} ${file}: ${said}")
  endif()
  unset(program CACHE)
endfunction()

# zelbo-cli of the prefix, run for the user of `home` with XDG_DATA_HOME unset.
function(run_cli out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=XDG_DATA_HOME "HOME=${home}"
                          "${prefix}/${BINDIR}/zelbo-cli" ${ARGN}
                  WORKING_DIRECTORY "${home}" INPUT_FILE /dev/null
                  RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT status EQUAL 0)
    fail("installed zelbo-cli ${ARGN}: ${status} ${said}")
  endif()
  set(${out} "${said}" PARENT_SCOPE)
endfunction()

# ---- The system layout -------------------------------------------------------------------------

install_into("${prefix}")
expect_program("${prefix}/${BINDIR}/zelbo")
expect_program("${prefix}/${BINDIR}/zelbo-cli")

file(GLOB_RECURSE skin_files RELATIVE "${SOURCE}/assets" "${SOURCE}/assets/SKIN/*")
if(NOT skin_files)
  fail("no shipped skin found under ${SOURCE}/assets/SKIN")
endif()
set(shipped "${prefix}/share/zelbo")
foreach(f ${skin_files})
  expect_same("${shipped}/${f}" "${SOURCE}/assets/${f}")
endforeach()
set(store "${SOURCE}/assets/braskel.exp")
expect_same("${shipped}/braskel.exp" "${store}")
expect_same("${shipped}/endgame.tables" "${BUILD}/endgame.tables")
foreach(size 16 22 24 32 48 64 128 256)
  expect_same("${prefix}/share/icons/hicolor/${size}x${size}/apps/${app}.png"
              "${SOURCE}/assets/desktop/zelbo-${size}.png")
endforeach()
expect_same("${prefix}/share/icons/hicolor/scalable/apps/${app}.svg"
            "${SOURCE}/assets/desktop/zelbo.svg")
foreach(page zelbo zelbo-cli)
  if(NOT EXISTS "${prefix}/share/man/man6/${page}.6.gz")
    fail("no manual page ${page}.6.gz")
  endif()
endforeach()
foreach(doc copyright changelog.gz)
  if(NOT EXISTS "${prefix}/share/doc/zelbo/${doc}")
    fail("no share/doc/zelbo/${doc}")
  endif()
endforeach()
file(READ "${SOURCE}/share/changelog" changelog LIMIT 40)
if(NOT changelog MATCHES "^zelbo \\(${VERSION}\\) ")
  fail("share/changelog does not begin with version ${VERSION}")
endif()

# The package: the Wayland platform of Qt recommended, beside the dependencies Qt loads at run time.
include("${BUILD}/CPackConfig.cmake")
if(NOT CPACK_DEBIAN_PACKAGE_RECOMMENDS STREQUAL "qt6-wayland")
  fail("the package recommends '${CPACK_DEBIAN_PACKAGE_RECOMMENDS}', not qt6-wayland")
endif()
if(NOT CPACK_PACKAGE_VERSION STREQUAL VERSION)
  fail("the package's version is ${CPACK_PACKAGE_VERSION}, not ${VERSION}")
endif()

# Installed straight into the prefix, its MIME database knows saved games.
find_program(update_mime update-mime-database)
if(update_mime AND NOT EXISTS "${prefix}/share/mime/application/x-zelbo-krp.xml")
  fail("the MIME database of ${prefix} was not brought up to date")
endif()

set(entry "${prefix}/share/applications/${app}.desktop")
if(NOT EXISTS "${entry}")
  fail("no desktop entry")
endif()
# The program and its icon by name, as the desktop finds them; its window's class; every file
# type of the MIME package, installed.
expect_line("${entry}" "^(Exec|TryExec|Icon|StartupNotify|StartupWMClass)="
            "Exec=zelbo %f;TryExec=zelbo;Icon=${app};StartupNotify=true;StartupWMClass=zelbo")
set(mime_package "${prefix}/share/mime/packages/${app}.xml")
expect_same("${mime_package}" "${SOURCE}/share/${app}.mime.xml")
file(STRINGS "${mime_package}" types REGEX "<mime-type type=")
list(TRANSFORM types REPLACE ".*<mime-type type=\"([^\"]+)\".*" "\\1")
if(NOT "application/x-zelbo-krp" IN_LIST types)
  fail("${mime_package} has no type for saved games")
endif()
if(NOT "application/x-draughts-pdn" IN_LIST types)
  fail("${mime_package} has no type for whole games in PDN")
endif()
list(JOIN types "\\;" mime_types)
expect_line("${entry}" "^MimeType=" "MimeType=${mime_types}\\;")
validate(desktop-file-validate "${entry}")
set(metainfo "${prefix}/share/metainfo/${app}.metainfo.xml")
if(NOT EXISTS "${metainfo}")
  fail("no metainfo")
endif()
validate(appstreamcli "${metainfo}" validate --no-net)
# This version's release notes come first; the media types are those of the desktop entry.
file(STRINGS "${metainfo}" releases REGEX "<release ")
list(GET releases 0 newest)
if(NOT newest MATCHES "<release version=\"${VERSION}\" date=\"[0-9-]+\">")
  fail("the metainfo's newest release is not ${VERSION}: ${newest}")
endif()
list(TRANSFORM types REPLACE "^(.+)$" "    <mediatype>\\1</mediatype>" OUTPUT_VARIABLE media)
list(JOIN media ";" media)
expect_line("${metainfo}" "<mediatype>" "${media}")
file(STRINGS "${metainfo}" screenshots REGEX "<image>")
if(NOT screenshots MATCHES "<image>${SCREENSHOTS_URL}/board.png</image>")
  fail("the metainfo's screenshots are not at ${SCREENSHOTS_URL}: ${screenshots}")
endif()
expect_line("${metainfo}" "_license>" "  <metadata_license>CC0-1.0</metadata_license>;  <project_license>GPL-3.0-or-later</project_license>")
# The licence in Debian's machine-readable format, pointing at the system's copy of the GPL.
set(copyright "${prefix}/share/doc/zelbo/copyright")
expect_line("${copyright}" "^Format: "
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/")
expect_line("${copyright}" "^(Files|License): "
            "Files: *;License: GPL-3+;Files: share/${app}.metainfo.xml.in;License: CC0-1.0;License: GPL-3+;License: CC0-1.0")

# The installed zelbo-cli, for a user whose home is empty: the shipped files are found, a skin of
# the user's is listed first, and running it changes nothing under the prefix.
file(MAKE_DIRECTORY "${home}")
listing("${prefix}" before)
run_cli(files files)
set(user "${home}/.local/share/zelbo")
string(JOIN "\n" want
  "layout installed"
  "store ${shipped}/braskel.exp"
  "save ${user}/braskel.exp"
  "help built-in"
  "tables ${shipped}/endgame.tables"
  "")
if(NOT files MATCHES "^${want}skin ")
  fail("installed zelbo-cli files, with an empty home:\n${files}")
endif()
run_cli(records experience)
file(SIZE "${store}" store_size)
math(EXPR store_records "${store_size} / 198")
if(NOT records MATCHES "\n${store_records} records?\n$")
  fail("installed zelbo-cli experience does not list the ${store_records} shipped records")
endif()
if(EXISTS "${user}")
  fail("reading the shipped files made ${user}")
endif()

file(MAKE_DIRECTORY "${user}/SKIN/Mine" "${user}/SKIN/Bois")
run_cli(files files)
if(NOT files MATCHES "\nskin Bois\t${user}/SKIN/Bois\nskin Mine\t${user}/SKIN/Mine\nskin ")
  fail("the user's skins are not listed first:\n${files}")
endif()
listing("${prefix}" after)
if(NOT before STREQUAL after)
  fail("running zelbo-cli changed the prefix")
endif()

# ---- The portable folder -----------------------------------------------------------------------

set(folder "${root}/portable")
install_into("${folder}" --component portable)
expect_program("${folder}/zelbo")
expect_program("${folder}/zelbo-cli")
foreach(f ${skin_files})
  expect_same("${folder}/${f}" "${SOURCE}/assets/${f}")
endforeach()
expect_same("${folder}/braskel.exp" "${store}")
expect_same("${folder}/endgame.tables" "${BUILD}/endgame.tables")
set(entry "${folder}/share/applications/${app}.desktop")
expect_line("${entry}" "^(Exec|Icon|StartupWMClass|MimeType)="
            "Exec=\"${folder}/zelbo\" %f;Icon=${folder}/share/icons/hicolor/256x256/apps/${app}.png;StartupWMClass=zelbo;MimeType=${mime_types}\\;")
validate(desktop-file-validate "${entry}")
if(EXISTS "${folder}/bin" OR EXISTS "${folder}/share/zelbo")
  fail("the portable folder holds the system layout too")
endif()
execute_process(COMMAND "${folder}/zelbo-cli" files OUTPUT_VARIABLE files)
if(NOT files MATCHES "^layout portable\nstore ${folder}/braskel.exp\nsave ${folder}/braskel.exp\n")
  fail("the portable zelbo-cli does not find its files beside it:\n${files}")
endif()

# A reinstall replaces nothing the user changed in the store, and brings the store back when the
# user removed it.
file(WRITE "${folder}/braskel.exp" "the user's own records")
install_into("${folder}" --component portable)
file(READ "${folder}/braskel.exp" kept)
if(NOT kept STREQUAL "the user's own records")
  fail("a reinstall overwrote the user's braskel.exp")
endif()
file(REMOVE "${folder}/braskel.exp")
install_into("${folder}" --component portable)
expect_same("${folder}/braskel.exp" "${store}")

file(REMOVE_RECURSE "${root}")

# Installation (cmake --install) and the Debian package (cpack -G DEB): the two
# programs, the launcher, the AppStream metainfo, the file types, the icon, the
# manual pages, the copyright file and the changelog.
include(GNUInstallDirs)

set(MELNIX_APP_ID "org.melnix.Melnix")
set(MELNIX_HOMEPAGE "https://melnix.org" CACHE STRING "Project web site; the metainfo's screenshot is under it")
set(MELNIX_PACKAGE_MAINTAINER "Melnix developers <maintainers@melnix.org>" CACHE STRING
    "Maintainer field of the Debian package")
set(_pkg ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS melnix melnix-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# melnix-tool's video export, which it starts itself.
install(TARGETS melnix-tool-video RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/melnix)
install(FILES ${_pkg}/${MELNIX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${_pkg}/${MELNIX_APP_ID}.metainfo.xml.in ${PROJECT_BINARY_DIR}/packaging/${MELNIX_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${MELNIX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_pkg}/${MELNIX_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The window icon, scalable and drawn at the hicolor theme's fixed sizes.
find_program(MELNIX_RSVG_CONVERT rsvg-convert)
if(NOT MELNIX_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert (librsvg2-bin) draws the installed icons: run scripts/deps.sh")
endif()
set(_icon_svg ${PROJECT_SOURCE_DIR}/res/icons/icon128-melnix.svg)
set(_icons)
foreach(size 16 22 24 32 48 64 128 256)
  set(_png ${PROJECT_BINARY_DIR}/packaging/icons/${size}x${size}/${MELNIX_APP_ID}.png)
  add_custom_command(OUTPUT ${_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/icons/${size}x${size}
    COMMAND ${MELNIX_RSVG_CONVERT} --width=${size} --height=${size} --keep-aspect-ratio --format=png
            --output=${_png} ${_icon_svg}
    DEPENDS ${_icon_svg}
    COMMENT "Drawing the ${size}x${size} icon"
    VERBATIM)
  list(APPEND _icons ${_png})
  install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(melnix_icons ALL DEPENDS ${_icons})
install(FILES ${_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MELNIX_APP_ID}.svg)

# The manual pages and the Debian changelog go in gzipped (gzip -9n: no name
# or time stamp, so the same source gives the same bytes); the gzip runs at
# install time, so cmake --install and cpack both take the current text. It
# writes under a name of its own and renames, as two installs (the package
# tests under ctest -j) may run at once.
find_program(MELNIX_GZIP gzip)
if(NOT MELNIX_GZIP)
  message(FATAL_ERROR "gzip compresses the installed manual pages: run scripts/deps.sh")
endif()
set(MELNIX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/melnix)
function(melnix_install_gzipped source destination name)
  set(plain ${PROJECT_BINARY_DIR}/packaging/${name})
  configure_file(${source} ${plain} @ONLY)
  install(CODE "
    string(RANDOM LENGTH 12 _melnix_tmp)
    set(_melnix_tmp \"${plain}.gz.\${_melnix_tmp}\")
    execute_process(COMMAND \"${MELNIX_GZIP}\" -9n -c \"${plain}\"
                    OUTPUT_FILE \"\${_melnix_tmp}\" RESULT_VARIABLE _melnix_gzip)
    if(NOT _melnix_gzip EQUAL 0)
      file(REMOVE \"\${_melnix_tmp}\")
      message(FATAL_ERROR \"gzip ${plain} failed: \${_melnix_gzip}\")
    endif()
    file(RENAME \"\${_melnix_tmp}\" \"${plain}.gz\")")
  install(FILES ${plain}.gz DESTINATION ${destination})
endfunction()
melnix_install_gzipped(${_pkg}/melnix.1 ${CMAKE_INSTALL_MANDIR}/man1 melnix.1)
melnix_install_gzipped(${_pkg}/melnix-tool.1 ${CMAKE_INSTALL_MANDIR}/man1 melnix-tool.1)
melnix_install_gzipped(${_pkg}/changelog ${MELNIX_DOC_DIR} changelog.Debian)
# GPL-3.0-or-later (see LICENSE), in Debian's machine-readable format.
configure_file(${_pkg}/copyright ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright DESTINATION ${MELNIX_DOC_DIR})

# The Debian package. Shared libraries come from dpkg-shlibdeps; what the
# programs load or read at run time is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME melnix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Melnix developers")
set(CPACK_PACKAGE_CONTACT ${MELNIX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "karaoke maker: time song lyrics and sing along to wiped subtitles")
# Lines of the long description stay within 80 columns (lintian).
set(CPACK_PACKAGE_DESCRIPTION
    "Melnix opens a song (MIDI, karaoke MIDI, MP3, WAV, FLAC, Ogg, Opus, M4A\n\
or a video), takes its lyrics typed or imported from text, LRC or KSC\n\
files, and lets the user mark while the song plays the moment each line\n\
and character is sung. The lyric is saved into the song's tail or an .mlx\n\
file, and the song is then shown full screen with colour-wiped subtitles\n\
over pictures or a video. melnix-tool prints, converts and renders lyrics\n\
and exports karaoke videos from the command line.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Version VERSION-1: the first packaging of this upstream version, with its
# entry in packaging/changelog (installed as changelog.Debian.gz).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${MELNIX_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MELNIX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The General MIDI soundfont, the Chinese fonts the interface and subtitles
# name, the SVG and further picture plugins, Qt's own Chinese texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fluid-soundfont-gm, fonts-noto-cjk, libqt6svg6, qt6-image-formats-plugins, qt6-translations-l10n")
# Web links open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# A sanitizer build would make a package that needs the sanitizer run-times.
set(CPACK_MELNIX_SANITIZED ${MELNIX_SANITIZE})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/MelnixCPackOptions.cmake)
include(CPack)

if(MELNIX_TESTS)
  add_test(NAME Packaging.InstallValidates
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/check_install.sh
            ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  add_test(NAME Packaging.DebianPackage
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/check_deb.sh
            ${CMAKE_CPACK_COMMAND} ${PROJECT_BINARY_DIR} ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}
            ${MELNIX_SANITIZE} ${PROJECT_SOURCE_DIR})
endif()

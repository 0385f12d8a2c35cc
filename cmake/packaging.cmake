# A Debian package from the build: cpack -G DEB (scripts/package.sh runs it).
# Shared-library dependencies come from dpkg-shlibdeps; the rest are data the
# programs load at run time.
set(CPACK_PACKAGE_NAME tovalo)
set(CPACK_PACKAGE_VENDOR "The Tovalo developers")
set(CPACK_PACKAGE_CONTACT "The Tovalo developers <developers@tovalo.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and tidy the files in your home folders")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tovalo.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The summary is the synopsis line; this is the extended description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tovalo reads the Desktop, Documents, Downloads, Pictures, Videos and Music
folders into a catalog that a folder watcher keeps fresh. It searches them in
plain words, finds identical files, sorts old downloads, installers,
screenshots, videos and unused AppImages onto clean-up cards, and makes the
text in pictures searchable. Nothing leaves the computer.
.
The package also holds tovalo-cli, which prints the same catalog, searches
and clean-up cards as JSON lines for scripts.")
# The symbols are drawn from the Material icon font and the text in the UI
# fonts; text recognition and subject detection need their data files;
# libcrypto is opened at run time, so the library scan does not see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-material-design-icons-iconfont, fonts-inter, fonts-jetbrains-mono, tesseract-ocr-eng, opencv-data, libssl3 | libssl3t64")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-image-formats-plugins, adwaita-icon-theme, squashfs-tools, upower")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "power-profiles-daemon, trash-cli")

# Debian wants its changelog and copyright file in the package's doc folder.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(TOVALO_DEB_CHANGELOG ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${TOVALO_DEB_CHANGELOG}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
                   COMMAND sh -c "${GZIP_PROGRAM} -9n -c '${PROJECT_SOURCE_DIR}/data/debian/changelog' > '${TOVALO_DEB_CHANGELOG}'"
                   DEPENDS ${PROJECT_SOURCE_DIR}/data/debian/changelog VERBATIM)
add_custom_target(tovalo_deb_changelog ALL DEPENDS ${TOVALO_DEB_CHANGELOG})
install(FILES ${TOVALO_DEB_CHANGELOG} ${PROJECT_SOURCE_DIR}/data/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tovalo)

include(CPack)

# `cpack -G DEB` in a build configured with CMAKE_INSTALL_PREFIX=/usr makes the
# Debian package veskard (make package does both, with Debian's build flags).
set(VESKARD_PACKAGE_MAINTAINER
    "Veskard maintainers <maintainers@users.noreply.c-seed-d9dbbf21.example>"
    CACHE STRING "The Debian package's Maintainer field: name <address>")
set(VESKARD_DEBIAN_REVISION 1 CACHE STRING "The Debian revision of the package's version")

# The newest entry of Debian's changelog must name the version being packaged.
set(package_version ${PROJECT_VERSION}-${VESKARD_DEBIAN_REVISION})
file(STRINGS ${PROJECT_SOURCE_DIR}/dist/debian/changelog.in newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^veskard \\(${package_version}\\) ")
    message(FATAL_ERROR "dist/debian/changelog.in needs an entry for ${package_version} first")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veskard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VESKARD_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lock files with a password")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/dist/debian/description)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # veskard_VERSION-REVISION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VESKARD_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VESKARD_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found by no linker: Qt's Chinese button texts, the system's descriptions of
# errors in the user's language (which the messages quote), a font that has
# the windows' characters, and xdg-open, through which the program opens
# files and the text editor.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, libc-l10n, fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# One package from two install components: everything, and Debian's changelog,
# which a plain `cmake --install` leaves out.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)

include(CPack)

# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: cmake --build build --target package
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_architecture
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT deb_architecture)
    set(deb_architecture amd64)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lativo-bivano)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lativo Bivano team")
set(CPACK_PACKAGE_CONTACT "The Lativo Bivano team <bivano@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert Greek text to Latin letters and back")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME lativo-bivano_${PROJECT_VERSION}_${deb_architecture}.deb)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_architecture})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs Qt's platform plugins (xcb), which no library pulls in,
# the font that stands in for Arial, and the Greek word list for accents.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, hunspell-el")
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lativo Bivano converts text between the Greek alphabet and Greek written
in Latin letters (Greeklish), in both directions, in a small Greek window
and with the command-line program bivano, which streams files of any size.
How xi, theta, psi and omega are written is a choice, and the way back
reads every spelling.

Το Lativo Bivano μετατρέπει κείμενο από ελληνικούς σε λατινικούς
χαρακτήρες και αντίστροφα, σε ένα μικρό ελληνικό παράθυρο και με το
πρόγραμμα γραμμής εντολών bivano.")
# Folders as Debian has them, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

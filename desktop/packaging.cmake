# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages: cmake --build build --target package makes
#   bivano_VERSION_ARCH.deb         the command line (no Qt), its pages and translations
#   lativo-bivano_VERSION_ARCH.deb  the window, which depends on bivano
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_architecture
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT deb_architecture)
    set(deb_architecture amd64)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL)
if(BIVANO_BUILD_CLI)
    list(APPEND CPACK_COMPONENTS_ALL cli)
endif()
if(BIVANO_BUILD_UI)
    list(APPEND CPACK_COMPONENTS_ALL gui)
endif()
set(CPACK_PACKAGE_NAME lativo-bivano)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lativo Bivano team")
set(CPACK_PACKAGE_CONTACT "The Lativo Bivano team <bivano@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_architecture})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The command line: its library dependencies come from dpkg-shlibdeps (the
# C and C++ libraries). The reader's model for accents is in the package.
set(CPACK_DEBIAN_CLI_PACKAGE_NAME bivano)
set(CPACK_DEBIAN_CLI_FILE_NAME bivano_${PROJECT_VERSION}_${deb_architecture}.deb)
set(CPACK_COMPONENT_CLI_DESCRIPTION
    "convert Greek text to Latin letters and back, on the command line
bivano converts text between the Greek alphabet and Greek written in Latin
letters (Greeklish), in both directions, for files and pipelines of any
size. Latin letters follow the program's own spelling (with choices for
xi, theta, psi and omega) or a published standard: ELOT 743 as on Greek
passports, ISO 843, ALA-LC, BGN/PCGN, or lower-case slugs. The way back
reads every spelling, and can give accents and correct spelling, read
from the typed letters with a model of Greek made from hunspell-el's word
list and word counts of Debian's Greek translations.

Το bivano μετατρέπει κείμενο από ελληνικούς σε λατινικούς χαρακτήρες και
αντίστροφα, από τη γραμμή εντολών.")

# The window: Qt's platform plugins (xcb), which no library pulls in, and
# the font that stands in for Arial.
set(CPACK_DEBIAN_GUI_PACKAGE_NAME lativo-bivano)
set(CPACK_DEBIAN_GUI_FILE_NAME lativo-bivano_${PROJECT_VERSION}_${deb_architecture}.deb)
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS
    "bivano (= ${PROJECT_VERSION}), qt6-qpa-plugins, fonts-liberation2")
set(CPACK_COMPONENT_GUI_DESCRIPTION
    "convert Greek text to Latin letters and back, in a small Greek window
Lativo Bivano converts text between the Greek alphabet and Greek written
in Latin letters (Greeklish), in both directions, in a small window whose
whole interface is Greek: type, paste or open a text, press Lativo or
Ελληνικά, and copy or save the result. How xi, theta, psi and omega are
written is a choice, or ELOT 743 as on Greek passports; the way back reads
every spelling.

Το Lativo Bivano μετατρέπει κείμενο από ελληνικούς σε λατινικούς
χαρακτήρες και αντίστροφα, σε ένα μικρό ελληνικό παράθυρο.")

# Folders as Debian has them, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

# Packages: one Debian package per program, made by
#   cmake --build build --target package   (or: cd build && cpack)
# into build/packages. Each holds its program's components only; the tests,
# benchmarks and fuzzers are never installed.
set(CPACK_PACKAGE_VENDOR "The Lanyx and TavishFennic authors")
set(CPACK_PACKAGE_CONTACT "${PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

set(CPACK_COMPONENTS_ALL)
if(BUILD_LANYX AND NOT LANYX_CORE_ONLY)
  list(APPEND CPACK_COMPONENTS_ALL lanyx)
endif()
if(TARGET tavishfennic)
  list(APPEND CPACK_COMPONENTS_ALL tavishfennic)
endif()

set(CPACK_COMPONENT_LANYX_DISPLAY_NAME "Lanyx")
set(CPACK_COMPONENT_LANYX_DESCRIPTION "chat and alerts for the people on your local network
Lanyx lets everybody on one local network segment see who is present, send
pop-up alerts and hold chats, without a server or an account. Every copy
announces itself with short broadcast datagrams on UDP port 1414. Between
copies of this Lanyx messages are signed and private ones encrypted; with
copies of the original protocol they are plain text anyone on the segment
can read or forge, so use it on a network you trust. Includes lanyx-cli, a
command-line peer for scripts.")
set(CPACK_COMPONENT_TAVISHFENNIC_DISPLAY_NAME "TavishFennic")
set(CPACK_COMPONENT_TAVISHFENNIC_DESCRIPTION "designer for web page buttons
TavishFennic designs buttons for web pages from a library of templates,
with their looks for hover and pressed, publishes the HTML code and the SVG
file that goes with it into your pages, and previews them in a web browser.")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_LANYX_PACKAGE_NAME lanyx)
  set(CPACK_DEBIAN_LANYX_PACKAGE_SECTION net)
  # Wayland sessions run it natively; without the plug-in Qt falls back to X.
  # The toolkit's own dialogs and buttons (file dialogs, Yes and No) speak
  # the language chosen in Options with its translations. Emoji in chats
  # show in colour with a colour emoji font.
  set(CPACK_DEBIAN_LANYX_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n, fonts-noto-color-emoji, qt6-image-formats-plugins")
  set(CPACK_DEBIAN_TAVISHFENNIC_PACKAGE_NAME tavishfennic)
  set(CPACK_DEBIAN_TAVISHFENNIC_PACKAGE_SECTION web)
  set(CPACK_DEBIAN_TAVISHFENNIC_PACKAGE_RECOMMENDS "qt6-wayland")
  # Preview opens the work in a web browser.
  set(CPACK_DEBIAN_TAVISHFENNIC_PACKAGE_SUGGESTS "www-browser")
endif()

include(CPack)

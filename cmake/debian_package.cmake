# A Debian package of what `cmake --install` puts in place, made from the build tree with
# `cpack -G DEB` (installed under /usr). dpkg-shlibdeps names the libraries the program and the
# archiver libraries link; libzip is loaded at run time, so it is named here with the packages
# the program needs to show its windows in Japanese.
set(CPACK_PACKAGE_NAME zorvex32)
set(CPACK_PACKAGE_VENDOR "Zorvex 32+ developers")
set(CPACK_PACKAGE_CONTACT "Zorvex 32+ developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop archiver for LZH, ZIP and ISH with a Japanese interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Packs files into LZH archives and ISH text, lists and extracts LZH and ZIP archives, "
    "restores ISH text and manages files in a two-pane file utility; with the command-line "
    "companions zlha, zunzip and zish.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program's own shared library, found where the build tree keeps it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
get_property(zv_libzip_soname GLOBAL PROPERTY ZV_LIBZIP_SONAME)
string(REGEX REPLACE "^libzip\\.so\\.([0-9]+)$" "libzip\\1" zv_libzip_package "${zv_libzip_soname}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "${zv_libzip_package}, qt6-qpa-plugins, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
include(CPack)

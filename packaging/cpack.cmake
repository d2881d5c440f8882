# The Debian package of the native build: kaptor, the control library with its headers, the
# simulated board and the manual page, as `cmake --install` lays them down, under /usr.
# `cpack --config BUILD/CPackConfig.cmake` makes kaptor_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kaptor)
set(CPACK_PACKAGE_VENDOR KAPTOR)
set(CPACK_PACKAGE_CONTACT "KAPTOR developers <kaptor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "still pictures from an analog video frame-grabber board behind a USB FIFO chip")
set(CPACK_PACKAGE_DESCRIPTION
    "kaptor is the headless host of the KAPTORAX capture control: it manages the board's
configurations and captures pictures (BMP, PNG, PGM). A simulated board stands in for the
real one (kaptor --sim); a real board needs FTDI's D2XX library libftd2xx.so. The control is
included as static libraries with their headers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the binaries need, as dpkg-shlibdeps finds them (libc, libstdc++,
# libpng); man-db shows the manual page.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS man-db)
include(CPack)

# The Debian packages of the native build, one per component, as Debian splits a library and
# its users; `cpack --config BUILD/CPackConfig.cmake` makes each of them, named
# <package>_<version>_<arch>.deb, under /usr:
#   kaptor              the tool, its manual page, the simulated board, the driver library
#                       for a real board (over libftdi1) and its udev rule
#   libkaptor1          libkaptor.so.1, the public API for programs
#   libkaptor-dev       its headers, the link to the library and kaptor.pc
#   python3-kaptor      the Python module
#   gstreamer1.0-kaptor the GStreamer element kaptorsrc (where GStreamer was found)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kaptor)
set(CPACK_PACKAGE_VENDOR KAPTOR)
set(CPACK_PACKAGE_CONTACT "KAPTOR developers <kaptor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "still pictures from an analog video frame-grabber board behind a USB FIFO chip")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tool library development python)
if(TARGET kaptor_gst)
    list(APPEND CPACK_COMPONENTS_ALL gstreamer)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the binaries need, as dpkg-shlibdeps finds them (libc, libstdc++,
# libpng, libftdi1 for the driver library); libkaptor1 tells it what its own users need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_GENERATE_SHLIBS ON)
# Where dpkg-shlibdeps finds libkaptor.so.1 for the Python module and the GStreamer plugin (its
# package is made apart).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/lib)
set(KAPTOR_LIBRARY_EXACT "libkaptor1 (= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME kaptor)
set(CPACK_DEBIAN_TOOL_PACKAGE_SUGGESTS man-db)
set(CPACK_COMPONENT_TOOL_DESCRIPTION
    "still pictures from an analog video frame-grabber board behind a USB FIFO chip
kaptor is the headless host of the KAPTORAX capture control: it manages the board's
configurations and captures pictures (BMP, PNG, PGM). A simulated board stands in for the
real one (kaptor --sim); a real board is reached through libftdi1, with a udev rule that
gives the logged-in user and the group plugdev access to it.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libkaptor1)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SUGGESTS kaptor)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION
    "KAPTORAX capture control for programs (shared library)
libkaptor embeds the KAPTORAX capture control in a program: configurations, the board,
pictures in memory or in files, the control's messages through callbacks. The simulated
board comes with the kaptor package.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkaptor-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${KAPTOR_LIBRARY_EXACT}")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "KAPTORAX capture control for programs (development files)
The header kaptor/kaptor.h, the link to libkaptor and its pkg-config file kaptor.pc.")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-kaptor)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
# libkaptor1 has no shlibs file dpkg-shlibdeps could read while the packages are made.
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "${KAPTOR_LIBRARY_EXACT}, python3 (>= ${KAPTOR_PYTHON_VERSION}), \
python3 (<< ${KAPTOR_PYTHON_NEXT_VERSION}), python3-numpy")
set(CPACK_DEBIAN_PYTHON_PACKAGE_RECOMMENDS kaptor)
set(CPACK_COMPONENT_PYTHON_DESCRIPTION
    "KAPTORAX capture control for Python
import kaptor: pictures from the frame-grabber board (or the simulated one) as numpy
arrays, the configuration through the dialog's checks, the control's failures as
exceptions.")

set(CPACK_DEBIAN_GSTREAMER_PACKAGE_NAME gstreamer1.0-kaptor)
set(CPACK_DEBIAN_GSTREAMER_PACKAGE_SECTION video)
# libkaptor1 named here for the same reason as above; GStreamer's libraries come from
# dpkg-shlibdeps.
set(CPACK_DEBIAN_GSTREAMER_PACKAGE_DEPENDS "${KAPTOR_LIBRARY_EXACT}")
set(CPACK_DEBIAN_GSTREAMER_PACKAGE_RECOMMENDS kaptor)
set(CPACK_COMPONENT_GSTREAMER_DESCRIPTION
    "KAPTORAX capture control for GStreamer
The source element kaptorsrc: pictures from the frame-grabber board (or the simulated one)
as GRAY8 video, one capture per buffer, for encoders, viewers and file writers.")
include(CPack)

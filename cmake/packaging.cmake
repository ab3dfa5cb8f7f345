# The Debian package: `cpack -G DEB` in the build folder writes parlix_<version>_<arch>.deb.
# The libraries the program and libparlix1.so link come from dpkg-shlibdeps; what they load at run
# time is listed by hand.
set(CPACK_PACKAGE_NAME parlix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Parlix")
set(CPACK_PACKAGE_CONTACT "Parlix developers <parlix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "peer-to-peer messenger for the desktops of a local network")
set(CPACK_PACKAGE_DESCRIPTION "Messages and letters in rich text, files, presence (free, busy, away) and contact
address lists between the computers of a local network, with no server and no accounts. Every
running copy listens on TCP port 7456. The program sits in the tray and goes away by itself when
the desktop has been idle.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# qt6-qpa-plugins: the X11 (xcb) and Wayland platform plugins Qt loads at start.
# xdg-utils: xdg-open, through which links, received files and the help page open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, xdg-utils")
# The sound file plays through Qt Multimedia's GStreamer back end where its plugins are there.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

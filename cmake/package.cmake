# cpack -G DEB in the build folder: one Debian package with the programs, the help documents, the
# desktop entry, the icon and the manual pages; the shared libraries it needs are found by
# dpkg-shlibdeps and declared as its dependencies.
set(CPACK_PACKAGE_NAME plx24cfg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvanto Sensortechnik GmbH")
set(CPACK_PACKAGE_CONTACT "Orvanto Sensortechnik GmbH <info@orvanto.example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration and commissioning tool for PLX24 room operating units")
# the summary above is the first line; these lines follow it
# (lines of at most 79 characters: the control file puts a blank in front of each)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "plx24cfg reads out, edits and writes the configuration of a PLX24 room
operating unit (a Modbus RTU/ASCII slave on RS485) and polls its live values.
plx24ctl finds the units on a line and writes one configuration to many of
them, verified. plx24-sim simulates units for trying the tools or a bus
without hardware.")
# the install step writes the machine values below DESTDIR, so "Pfad" names /usr/..., not the
# staging folder
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# loaded at run time, so dpkg-shlibdeps cannot see them: the X11/Wayland platform plugins, Qt's own
# texts in German (file dialogs, standard buttons), and the font a printed record names (plx24ctl lays
# its PDF out on Qt's offscreen platform, part of Qt Gui)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-dejavu-core")
# the About window's links and Help's "open in PDF viewer" go through the desktop's opener
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
# the machine values in /etc are the administrator's to change: dpkg keeps their edits on upgrade
file(WRITE ${PROJECT_BINARY_DIR}/debian-control/conffiles "/etc/plx24cfg/machine.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian-control/conffiles)
include(CPack)

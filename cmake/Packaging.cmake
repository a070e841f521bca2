# cpack -G DEB (or scripts/package.sh) makes velmora_<version>_amd64.deb from the install rules.
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Halvern Software")
set(CPACK_PACKAGE_CONTACT "${VELMORA_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maintenance records of vehicles and fleets")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmora keeps the maintenance records of one vehicle or of a fleet: owners, vehicles, schedules of\n"
    "recurring services with their due dates, maintenance performed, job orders, fuel purchases with fuel\n"
    "economy, loans, insurance, reports and graphs. Includes a command-line tool for data files and a\n"
    "reminder that lists the services coming due at log-on.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORA_HOMEPAGE}")
# The shared libraries are found by dpkg-shlibdeps; what is loaded at run time is named here: the SQLite
# driver, the platform plugins and the fonts the reports are laid out with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# Installing and packaging.
#
#   cmake --install build --prefix DIR
# puts a portable program directory into DIR: Pelko_Programm, Tarvik, the help
# file Pelko_Hilfe.html and the icons. The programs keep their settings file
# (Pelko_Programm.INI) and message texts (Tarvik.TXT) beside themselves.
#
#   cpack -G DEB   (in the build directory)
# builds the Debian package: the same program directory as /opt/pelko, and
# for the system the service pelko-programm (Pelko_Programm --headless), its
# settings file /etc/default/pelko-programm, the desktop entry and the icon.

set(PELKO_PACKAGE_DIR "/opt/pelko" CACHE PATH "Program directory of the Debian package")
set(_pk ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS Tarvik Pelko_Programm RUNTIME DESTINATION . COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/interface/help/Pelko_Hilfe.html
              ${_pk}/icons/Tarvik.ICO ${_pk}/icons/Pelko_Programm.ICO
        DESTINATION . COMPONENT programs)

# The files for the system, only in the package.
configure_file(${_pk}/pelko-programm.service.in ${CMAKE_BINARY_DIR}/packaging/pelko-programm.service @ONLY)
configure_file(${_pk}/pelko-programm.desktop.in ${CMAKE_BINARY_DIR}/packaging/pelko-programm.desktop @ONLY)
configure_file(${_pk}/postinst ${CMAKE_BINARY_DIR}/packaging/postinst @ONLY)
configure_file(${_pk}/prerm ${CMAKE_BINARY_DIR}/packaging/prerm COPYONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/pelko-programm.service
        DESTINATION /lib/systemd/system COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${_pk}/pelko-programm.default RENAME pelko-programm
        DESTINATION /etc/default COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_BINARY_DIR}/packaging/pelko-programm.desktop
        DESTINATION /usr/share/applications COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${_pk}/icons/pelko-programm.png
        DESTINATION /usr/share/icons/hicolor/256x256/apps COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${_pk}/icons/pelko-programm.svg
        DESTINATION /usr/share/icons/hicolor/scalable/apps COMPONENT system EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pelko")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cash registers to hotel front office: Pelko_Programm and the register driver Tarvik")
set(CPACK_PACKAGE_DESCRIPTION
    "Connects the cash registers of a hotel's restaurant or bar with the front-office software\n(HS-3, Velox, Protel, hotline): room list to the registers, room charges and revenue back.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${PELKO_PACKAGE_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL programs system)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pelko maintainers <pelko@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1, adduser")
if(TARGET Qt6::Widgets)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libqt6widgets6, qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_BINARY_DIR}/packaging/postinst ${CMAKE_BINARY_DIR}/packaging/prerm
    ${_pk}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

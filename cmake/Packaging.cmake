# The Debian package: `cmake --build build --target package` (or `cpack` in
# the build folder) writes ostrevanka_<version>_amd64.deb. The executable and
# the manual are installed by their own folders; here the desktop's menu
# entry, icon and software-centre description.

set(OST_METAINFO_ID org.example.Ostrevanka)
set(OST_METAINFO ${CMAKE_BINARY_DIR}/packaging/${OST_METAINFO_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${OST_METAINFO_ID}.metainfo.xml.in ${OST_METAINFO}
  @ONLY)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/ostrevanka.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/ostrevanka.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${OST_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(OST_PACKAGE_MAINTAINER "Ostrevanka developers <ostrevanka@example.org>"
  CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${OST_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "electricity accounting of a garden community")
set(CPACK_PACKAGE_DESCRIPTION
  "The treasurer's program of a garden community fed through one head meter:\n\
the two-tariff meter readings of every subscriber, tariffs and charges, the\n\
imbalance against the head meter and the personal-account ledger. It prints\n\
receipts, cash receipt orders and meter-reading sheets, exchanges tables with\n\
Excel workbooks and backs up its database. The user interface is Russian.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${OST_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 platform
# plugin, the Russian texts of the standard buttons ("Да", "Нет"), and the
# workbook libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
# libxlsxwriter and libzip are loaded when a workbook is first written or read:
# the packages holding the libraries built against.
foreach(prefix XLSXWRITER LIBZIP)
  list(GET ${prefix}_LINK_LIBRARIES 0 library)
  get_filename_component(real "${library}" REALPATH)
  execute_process(COMMAND dpkg-query -S "${real}" OUTPUT_VARIABLE owner RESULT_VARIABLE rc
                  ERROR_QUIET)
  if(rc EQUAL 0 AND owner MATCHES "^([^:,]+)")
    set(package ${CMAKE_MATCH_1})
    execute_process(COMMAND dpkg-query -W "-f=\${source:Upstream-Version}" ${package}
                    OUTPUT_VARIABLE version ERROR_QUIET)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${package} (>= ${version})")
  endif()
endforeach()
# Opens the manual in the desktop's PDF viewer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)

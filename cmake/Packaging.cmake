# The Debian package: `cmake --build build --target package` (or `cpack` in
# the build folder) writes ostrevanka_<version>_amd64.deb. The executable and
# the manual are installed by their own folders; here the desktop's menu
# entry, icon, software-centre description, licence and changelog.

# Who builds and ships the package sets these; the defaults name nobody and
# no site (the .invalid domain never exists).
set(OST_MAINTAINER "Ostrevanka package builder <package-builder@ostrevanka.invalid>"
  CACHE STRING "The Maintainer of the Debian package and the changelog's signer: Name <address>")
set(OST_HOMEPAGE "" CACHE STRING "The project's home page (empty: none is named)")
set(OST_APPSTREAM_ID invalid.ostrevanka.Ostrevanka
  CACHE STRING "The AppStream component id: reverse domain name of the distributor")

# The changelog source holds the version and the date of the release; the
# software-centre description takes both from it, so no build date ends up in
# the package.
set(OST_CHANGELOG_SOURCE ${PROJECT_SOURCE_DIR}/packaging/changelog.in)
file(STRINGS ${OST_CHANGELOG_SOURCE} changelog_head LIMIT_COUNT 1)
file(STRINGS ${OST_CHANGELOG_SOURCE} changelog_trailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^ostrevanka \\(([^)]+)\\)"
   OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The latest entry of ${OST_CHANGELOG_SOURCE} is not version ${PROJECT_VERSION}")
endif()
if(NOT changelog_trailer MATCHES ", ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "No date in the latest entry of ${OST_CHANGELOG_SOURCE}")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND month_names ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1")
string(REGEX REPLACE "^(.)$" "0\\1" month ${month})
string(REGEX REPLACE "^(.)$" "0\\1" day ${day})
set(OST_RELEASE_DATE ${year}-${month}-${day})

set(OST_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
# Compressed beside the file as Debian wants it: gzip -n keeps no name or
# time in the header, so the same text packs the same.
function(ost_gzip file)
  execute_process(COMMAND gzip -9nkf ${file} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${file}")
  endif()
endfunction()
set(OST_CHANGELOG ${OST_PACKAGING_DIR}/changelog)
configure_file(${OST_CHANGELOG_SOURCE} ${OST_CHANGELOG} @ONLY)
ost_gzip(${OST_CHANGELOG})
set(OST_MANPAGE ${OST_PACKAGING_DIR}/ostrevanka.1)
configure_file(${PROJECT_SOURCE_DIR}/packaging/ostrevanka.1 ${OST_MANPAGE} COPYONLY)
ost_gzip(${OST_MANPAGE})

if(OST_HOMEPAGE)
  set(OST_METAINFO_HOMEPAGE "\n  <url type=\"homepage\">${OST_HOMEPAGE}</url>")
endif()
set(OST_METAINFO_ID ${OST_APPSTREAM_ID})
set(OST_METAINFO ${OST_PACKAGING_DIR}/${OST_METAINFO_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/packaging/ostrevanka.metainfo.xml.in ${OST_METAINFO} @ONLY)

# The documentation folder also leads to the manual, which the program finds
# in its data folder.
file(RELATIVE_PATH manual_from_doc ${CMAKE_INSTALL_FULL_DOCDIR}
  ${CMAKE_INSTALL_FULL_DATADIR}/ostrevanka/Help.pdf)
file(CREATE_LINK ${manual_from_doc} ${OST_PACKAGING_DIR}/Help.pdf SYMBOLIC)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/ostrevanka.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/ostrevanka.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${OST_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${OST_CHANGELOG}.gz
  ${OST_PACKAGING_DIR}/Help.pdf
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${OST_MANPAGE}.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${OST_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "electricity accounting of a garden community")
set(CPACK_PACKAGE_DESCRIPTION
  "The treasurer's program of a garden community fed through one head meter:\n\
the two-tariff meter readings of every subscriber, tariffs and charges, the\n\
imbalance against the head meter and the personal-account ledger. It prints\n\
receipts, cash receipt orders and meter-reading sheets, exchanges tables with\n\
Excel workbooks and backs up its database. The user interface is Russian.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${OST_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${OST_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the Russian texts of
# the standard buttons ("Да", "Нет"), the font the windows are laid out in,
# and the workbook libraries. The X11 platform plugin comes with libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
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
# The Wayland platform plugin, for a Wayland session without XWayland; the
# desktop's opener, for the manual.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
# CPack gives any shared object under lib/ maintainer scripts that run
# ldconfig; the chart module is loaded by path and is nothing for ldconfig.
# Naming control files postinst and postrm that do not exist keeps CPack from
# writing them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${OST_PACKAGING_DIR}/none/postinst
  ${OST_PACKAGING_DIR}/none/postrm)

include(CPack)

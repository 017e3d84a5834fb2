# The install rules and the two Debian packages (CPack DEB, "cpack -G DEB" in the
# build folder, or "cmake --build build --target package"):
#   tarvo-browser  the browser in /usr/lib/tarvo-browser/ with its run-time files
#                  beside it (skin package, language packs, start page), linked from
#                  /usr/bin; its desktop entry, hicolor icons and AppStream metadata;
#   tarvo-service  tarvo-service and tarvo-cli in /usr/bin, the demo seed in
#                  /usr/share/tarvo-service/seed/ and a systemd unit.
# Each holds the manual pages of its programs (made from their --help), and the
# copyright file and changelog in /usr/share/doc/<package>/.
if(NOT TARVO_BUILD_GUI OR NOT TARGET tarvo-browser OR NOT TARGET tarvo-skin-packer)
  return()
endif()

set(TARVO_PROGRAM_DIR lib/tarvo-browser)
set(TARVO_ICON_SIZES 16 22 24 32 48 64 128 256 512)

# The browser and what it reads beside its executable.
install(TARGETS tarvo-browser RUNTIME DESTINATION ${TARVO_PROGRAM_DIR} COMPONENT browser)
# The compatibility engine's module, loaded from the "engines" folder beside the
# executable (a private module: no ldconfig, which a library directly under
# /usr/lib would bring into the package's scripts).
install(TARGETS tarvo_compat_webkit LIBRARY DESTINATION ${TARVO_PROGRAM_DIR}/engines COMPONENT browser)
install(FILES ${CMAKE_BINARY_DIR}/bin/skin/normal.dat DESTINATION ${TARVO_PROGRAM_DIR}/skin COMPONENT browser)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/lang/ DESTINATION ${TARVO_PROGRAM_DIR}/lang COMPONENT browser
        FILES_MATCHING PATTERN "*.json")
install(FILES ${PROJECT_SOURCE_DIR}/resources/home.html ${PROJECT_SOURCE_DIR}/resources/home.css
              ${PROJECT_SOURCE_DIR}/resources/home.js ${PROJECT_SOURCE_DIR}/resources/home_logo.svg
        DESTINATION ${TARVO_PROGRAM_DIR} COMPONENT browser)
install(FILES ${PROJECT_SOURCE_DIR}/resources/Favicon/blank_favicon.ico DESTINATION ${TARVO_PROGRAM_DIR}/Favicon
        COMPONENT browser)
# Tells the browser that the package manager owns these files.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/package-managed DESTINATION ${TARVO_PROGRAM_DIR} COMPONENT browser)
# A relative link, so the tree also runs where it is unpacked (dpkg-deb -x).
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
file(CREATE_LINK ../lib/tarvo-browser/tarvo-browser ${CMAKE_BINARY_DIR}/packaging/tarvo-browser SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/tarvo-browser DESTINATION bin COMPONENT browser)

# The desktop's view of it.
install(FILES ${PROJECT_SOURCE_DIR}/resources/tarvo-browser.desktop DESTINATION share/applications COMPONENT browser)
string(TIMESTAMP TARVO_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${PROJECT_SOURCE_DIR}/resources/tarvo-browser.metainfo.xml
               ${CMAKE_BINARY_DIR}/packaging/test.tarvo.TarvoBrowser.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/test.tarvo.TarvoBrowser.metainfo.xml DESTINATION share/metainfo COMPONENT browser)
set(icon_folder ${CMAKE_BINARY_DIR}/packaging/icons)
set(icon_outputs "")
foreach(size IN LISTS TARVO_ICON_SIZES)
  list(APPEND icon_outputs ${icon_folder}/${size}x${size}/apps/tarvo-browser.png)
endforeach()
string(REPLACE ";" "," icon_size_list "${TARVO_ICON_SIZES}")
add_custom_command(
  OUTPUT ${icon_outputs}
  COMMAND ${TARVO_BUILD_TOOL_LAUNCH} $<TARGET_FILE:tarvo-skin-packer> --icon ${PROJECT_SOURCE_DIR}/resources/home_logo.svg --name tarvo-browser
          --sizes ${icon_size_list} --icon-dir ${icon_folder}
  DEPENDS tarvo-skin-packer ${PROJECT_SOURCE_DIR}/resources/home_logo.svg
  COMMENT "Rendering the application icons"
  VERBATIM)
add_custom_target(tarvo_icons ALL DEPENDS ${icon_outputs})
install(DIRECTORY ${icon_folder}/ DESTINATION share/icons/hicolor COMPONENT browser)
install(FILES ${PROJECT_SOURCE_DIR}/resources/home_logo.svg DESTINATION share/icons/hicolor/scalable/apps
        RENAME tarvo-browser.svg COMPONENT browser)

# The service package. The seed's installer is a script the service hands out.
install(TARGETS tarvo-service tarvo-cli RUNTIME DESTINATION bin COMPONENT service)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/service/seed/ DESTINATION share/tarvo-service/seed COMPONENT service
        PATTERN "*.sh" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                   WORLD_EXECUTE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tarvo-service.service DESTINATION lib/systemd/system COMPONENT service)

# Manual pages: help2man turns each program's --help into its page, so the options
# are described in one place, the program; the sections --help has no room for
# (name, files, see also) are in packaging/man/<program>.h2m.
find_program(TARVO_HELP2MAN help2man)
if(NOT TARVO_HELP2MAN)
  message(FATAL_ERROR "help2man is missing (it makes the manual pages): run scripts/install-deps")
endif()
set(man_folder ${CMAKE_BINARY_DIR}/packaging/man)
file(MAKE_DIRECTORY ${man_folder})
foreach(program IN ITEMS tarvo-browser tarvo-service tarvo-cli)
  set(include ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
  add_custom_command(
    OUTPUT ${man_folder}/${program}.1.gz
    COMMAND ${TARVO_BUILD_TOOL_LAUNCH} ${TARVO_HELP2MAN} --no-info --no-discard-stderr --section=1
            --version-string=${PROJECT_VERSION} --include=${include} --output=${man_folder}/${program}.1
            $<TARGET_FILE:${program}>
    COMMAND gzip -9nf ${man_folder}/${program}.1
    DEPENDS ${program} ${include}
    COMMENT "Writing the manual page of ${program}"
    VERBATIM)
  list(APPEND man_pages ${man_folder}/${program}.1.gz)
endforeach()
add_custom_target(tarvo_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_folder}/tarvo-browser.1.gz DESTINATION share/man/man1 COMPONENT browser)
install(FILES ${man_folder}/tarvo-service.1.gz ${man_folder}/tarvo-cli.1.gz DESTINATION share/man/man1
        COMPONENT service)

# The copyright file and the changelog (a native package's changelog.gz) of both
# packages. A new version needs its changelog entry first.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^tarvo-browser \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not start with an entry for ${PROJECT_VERSION}")
endif()
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/packaging/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(tarvo_changelog ALL DEPENDS ${changelog})
foreach(package IN ITEMS browser service)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog} DESTINATION share/doc/tarvo-${package}
          COMPONENT ${package})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvo-browser)
set(CPACK_PACKAGE_VENDOR "TarvoBrowser")
set(CPACK_PACKAGE_CONTACT "TarvoBrowser developers <dev@tarvo.test>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL browser service)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# A library the programs open while they run is not linked, so the scan of linked
# libraries above cannot see it: it is named by hand, as the package that holds it on
# the build machine (libcurl4 on Debian 12, libcurl4t64 on Debian 13), at least at
# the version built against.
function(tarvo_package_holding soname out)
  execute_process(COMMAND dpkg-query --search "*/${soname}" OUTPUT_VARIABLE owners RESULT_VARIABLE failed
                  ERROR_QUIET)
  string(REGEX MATCH "^[^:,]+" package "${owners}")
  if(failed OR NOT package)
    # Only the Debian packages need the name; a build for running or testing goes on.
    message(WARNING "no installed Debian package holds ${soname}: the packages built here will not depend on it")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND dpkg-query --show "--showformat=\${source:Upstream-Version}" ${package}
                  OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${out} "${package} (>= ${version})" PARENT_SCOPE)
endfunction()
# libcurl: the browser's and tarvo-cli's HTTP transfers; libsecret: the browser's
# saved passwords.
tarvo_package_holding(libcurl.so.4 curl_package)
tarvo_package_holding(libsecret-1.so.0 secret_package)
# (A list: CPack joins its entries, and an empty one drops out.)
set(CPACK_DEBIAN_BROWSER_PACKAGE_DEPENDS ${curl_package} ${secret_package})
set(CPACK_DEBIAN_SERVICE_PACKAGE_DEPENDS ${curl_package})
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_BROWSER_PACKAGE_NAME tarvo-browser)
set(CPACK_DEBIAN_BROWSER_PACKAGE_SECTION web)
set(CPACK_DEBIAN_BROWSER_DESCRIPTION "web browser with a compatibility engine for banking and protected sites
TarvoBrowser renders each tab with Chromium (Qt WebEngine), or with WebKitGTK
for online banking and protected sites, which it loads from mirrors its service
publishes. Favourites, downloads, a VPN switch, clearing of browsing data.")
# bubblewrap: the compatibility engine's web processes run in its sandbox.
set(CPACK_DEBIAN_BROWSER_PACKAGE_RECOMMENDS "xdg-utils, bubblewrap")
set(CPACK_DEBIAN_SERVICE_PACKAGE_NAME tarvo-service)
set(CPACK_DEBIAN_SERVICE_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVICE_DESCRIPTION "reference service of TarvoBrowser, and its command-line client
tarvo-service implements every endpoint the browser calls (accounts, VPN nodes
and proxies, protected sites, favourites, version and installer, launch
reports), with a systemd unit; tarvo-cli speaks to it with the browser's code.")
include(CPack)

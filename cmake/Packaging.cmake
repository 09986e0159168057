# Debian packages of the plug-in and of the command-line register: `cpack -G
# DEB` in a build directory (see scripts/package, which builds for the host's
# architecture, i386). One package per install component: "plugin" makes
# velta-paysystem-vesanu, "tools" (built with VESANU_BUILD_TOOLS)
# velta-paysystem-vesanu-tools.
#
# The plug-in's package holds the plug-in and an example configuration only. The
# plug-in carries the processing contract itself; the libraries it links
# against besides Qt (libveltaconfig, libveltanetwork, libveltatr, liblog4qt)
# are the host's own: the host process has loaded them before it loads the
# plug-in, so they are neither shipped nor named as package dependencies; the
# stand-ins under host/ exist for building and testing only and carry no
# install rules for the package.

# Where the host finds payment-system plug-ins, relative to the install
# prefix (/usr in the package).
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(_vesanu_libdir lib/${CMAKE_LIBRARY_ARCHITECTURE})
else()
    set(_vesanu_libdir lib)
endif()
set(VESANU_PLUGIN_INSTALL_DIR ${_vesanu_libdir}/velta/paysystems
    CACHE STRING "Plug-in directory, relative to the install prefix")
# The plug-in reads its settings from this fixed path, whatever the prefix.
set(VESANU_CONFIG_INSTALL_DIR /tessaroot/cash/paysystems/vesanu)
set(VESANU_CONFIG_FILE ${VESANU_CONFIG_INSTALL_DIR}/vesanu.ini)
set(_vesanu_example_config ${CMAKE_SOURCE_DIR}/packaging/vesanu.ini)
# The payment journal's folder, made by postinst (root:VESANU_CONFIG_GROUP,
# 2770) and removed on purge; the default "journal" setting names a file in it.
set(VESANU_STATE_DIR /var/lib/velta-paysystem-vesanu)
# The configuration holds the secret key: mode 0640, owner root, and this
# group, which must be the group of the user the cash register runs as.
set(VESANU_CONFIG_GROUP root CACHE STRING "Group that may read the installed vesanu.ini")
# It is written into the maintainer scripts: a plain group name only.
if(NOT VESANU_CONFIG_GROUP MATCHES "^[A-Za-z0-9_][A-Za-z0-9_.-]*$")
    message(FATAL_ERROR "VESANU_CONFIG_GROUP is not a group name: '${VESANU_CONFIG_GROUP}'")
endif()

install(TARGETS ProcessingVesaNu
    LIBRARY DESTINATION ${VESANU_PLUGIN_INSTALL_DIR}
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
            COMPONENT plugin)
install(FILES ${_vesanu_example_config}
    DESTINATION ${VESANU_CONFIG_INSTALL_DIR}
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ
    COMPONENT plugin)

# vesanu-host for a register: run from the install prefix's bin/, it takes the
# plug-in this package installs. It links the host's service libraries by
# soname, as the plug-in does, and ships none of them (nor the stand-ins).
set(_vesanu_packaging_prefix /usr)
if(TARGET vesanu-host)
    target_compile_definitions(vesanu_host_core PRIVATE
        VESANU_INSTALLED_TOOL_DIR="${_vesanu_packaging_prefix}/bin"
        VESANU_INSTALLED_PLUGIN="${_vesanu_packaging_prefix}/${VESANU_PLUGIN_INSTALL_DIR}/libProcessingVesaNu.so")
    set(_vesanu_tools_doc share/doc/velta-paysystem-vesanu-tools)
    set(_vesanu_man_page ${CMAKE_BINARY_DIR}/packaging/vesanu-host.1.gz)
    add_custom_command(OUTPUT ${_vesanu_man_page}
        COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/vesanu-host.1 > ${_vesanu_man_page}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/vesanu-host.1
        VERBATIM)
    add_custom_target(vesanu_host_man ALL DEPENDS ${_vesanu_man_page})
    install(TARGETS vesanu-host RUNTIME DESTINATION bin COMPONENT tools)
    install(FILES ${_vesanu_man_page} DESTINATION share/man/man1 COMPONENT tools)
    set(_vesanu_tools_docs ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/docs/integration.md)
    if(EXISTS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
        list(APPEND _vesanu_tools_docs ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
    endif()
    install(FILES ${_vesanu_tools_docs} DESTINATION ${_vesanu_tools_doc} COMPONENT tools)
endif()

# The example must name every setting the plug-in reads, with the default
# the code uses: an operator goes by it.
if(VESANU_BUILD_TESTS)
    add_test(NAME packaging.example_config
        COMMAND ${CMAKE_COMMAND}
                -DEXAMPLE=${_vesanu_example_config}
                "-DCONSTANTS=${CMAKE_SOURCE_DIR}/vesanu/constants.h;${CMAKE_SOURCE_DIR}/vesanu/api/constants.h"
                -P ${CMAKE_CURRENT_LIST_DIR}/CheckExampleConfig.cmake)
endif()

# The configuration is the operator's: dpkg keeps an edited file on upgrade.
# CPack writes every file as root:root, so the group comes from the
# maintainer scripts, as a dpkg-statoverride that upgrades keep too.
set(_vesanu_control_dir ${CMAKE_BINARY_DIR}/packaging/control)
file(WRITE ${_vesanu_control_dir}/conffiles "${VESANU_CONFIG_FILE}\n")
configure_file(${CMAKE_SOURCE_DIR}/packaging/postinst.in ${_vesanu_control_dir}/postinst @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/postrm.in ${_vesanu_control_dir}/postrm @ONLY)

if(CMAKE_LIBRARY_ARCHITECTURE STREQUAL "i386-linux-gnu")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE i386)
elseif(CMAKE_LIBRARY_ARCHITECTURE STREQUAL "x86_64-linux-gnu")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velta-paysystem-vesanu)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME velta-paysystem-vesanu)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME velta-paysystem-vesanu-tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velta")
set(CPACK_PACKAGE_CONTACT "VesaNu plug-in maintainers <vesanu@velta.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "VesaNu payment plug-in for the Velta point-of-sale host")
set(CPACK_PACKAGE_DESCRIPTION
    "Qt 5 plug-in libProcessingVesaNu.so: payments, refunds, cancels and\
 fiscal-data submission through the VesaNu service, with an example\
 configuration in ${VESANU_CONFIG_INSTALL_DIR}/vesanu.ini.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX ${_vesanu_packaging_prefix})
set(CPACK_STRIP_FILES ON)
# Only these components: nothing that another part of the tree installs
# can end up in a package.
if(TARGET vesanu-host)
    set(CPACK_COMPONENTS_ALL plugin tools)
else()
    set(CPACK_COMPONENTS_ALL plugin)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt, libstdc++, libc and SQLite (libsqlite3-0, the payment journal) come
# from dpkg-shlibdeps. The host's libraries
# belong to no package on a build machine; the private directory lets
# dpkg-shlibdeps find them and skip them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
if(VESANU_HOST_SDK)
    list(APPEND CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${VESANU_HOST_SDK}/lib)
endif()
# The plug-in calls nothing in Qt Network itself, so dpkg-shlibdeps leaves it
# out; the library is still loaded with the plug-in (it is linked for the
# host's HTTP client) and must be there, as new as the Qt the metadata block
# announces (the one the plug-in is built with). dpkg-shlibdeps gives Qt Core
# that minimum already: every object built with these headers needs the
# symbol version of their minor release.
set(CPACK_DEBIAN_PLUGIN_PACKAGE_DEPENDS
    "libqt5network5 (>= ${Qt5Core_VERSION_MAJOR}.${Qt5Core_VERSION_MINOR})")
set(CPACK_DEBIAN_PLUGIN_PACKAGE_CONTROL_EXTRA
    ${_vesanu_control_dir}/conffiles ${_vesanu_control_dir}/postinst ${_vesanu_control_dir}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPackDeb puts CPACK_PACKAGE_DESCRIPTION_SUMMARY, the plug-in's, above each.
set(CPACK_COMPONENT_PLUGIN_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")

# The register's tool goes with the plug-in of its own build; the rest of its
# Depends (Qt Core, SQLite, libstdc++, libc) come from dpkg-shlibdeps.
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "velta-paysystem-vesanu (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "Tools: vesanu-host, the command-line cash register for the plug-in.\n\
vesanu-host loads the installed plug-in with the host's own libraries, as the\
 cash register does: checks the set-up, lists the payment journal's open\
 entries and makes test payments. It needs the host's service libraries,\
 which the cash register provides.")

include(CPack)

# What a store computer installs: the host, the module, the suite's stand-ins
# and the tools in one folder (the host's module directory, found from the
# program's own path), commands on the PATH, the store set-up, the desktop
# entry and the demo script; made into a .deb by CPack (scripts/package.sh).
include(GNUInstallDirs)
set(KVT_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/kvtpos)

# Every program and shared library of the folders that ship; tests and
# benchmarks are not among them.
function(kvt_shipped_targets dir out)
  set(found "")
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
      list(APPEND found ${t})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    if(NOT sub MATCHES "/(tests|bench)(/|$)")
      kvt_shipped_targets(${sub} more)
      list(APPEND found ${more})
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

kvt_shipped_targets(${PROJECT_SOURCE_DIR} shipped)
# Installed, the programs and modules find each other in their own folder.
set_target_properties(${shipped} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${shipped} RUNTIME DESTINATION ${KVT_INSTALL_DIR}
        LIBRARY DESTINATION ${KVT_INSTALL_DIR})
install(PROGRAMS suite/host/desktop/kvtpos-store suite/host/desktop/kvtpos-till
        DESTINATION ${KVT_INSTALL_DIR})

# The commands: links into the module folder, so each program still finds
# its modules beside its real path.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/links)
foreach(cmd kvthost kvtpos-db kvtpos-script kvtpos-store kvtpos-till)
  file(CREATE_LINK ../${KVT_INSTALL_DIR}/${cmd} ${CMAKE_BINARY_DIR}/links/${cmd} SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/links/${cmd} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES suite/host/desktop/kvtpos.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES suite/host/desktop/kvtpos.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES schema/demo/till.kvts DESTINATION ${CMAKE_INSTALL_DATADIR}/kvtpos/demo)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES schema/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME schema.md)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvtpos)
set(CPACK_PACKAGE_VENDOR "kvtpos")
set(CPACK_PACKAGE_CONTACT "kvtpos developers <kvtpos@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Point of sale for farm-supply and retail stores")
set(CPACK_PACKAGE_DESCRIPTION
    "A till that rings up items by reference, bar code or till code, prices and taxes them, takes tenders and saves each sale in one transaction, on SQLite or PostgreSQL.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the programs link (Qt 6 Widgets, SQLite, libpq, ...) are
# found by dpkg-shlibdeps; what is loaded at run time by name is declared.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
include(CPack)

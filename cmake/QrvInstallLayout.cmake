# Run by `cmake --install` (packaging/CMakeLists.txt): what of the installed
# layout depends on the prefix given when installing, namely the service's
# settings, its unit, the links and the writable folders. Given:
#   source   the packaging folder, with the templates
#   private  the installed P/lib/korvex
#   data     the installed P/share/korvex
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(etc /etc)
  set(var /var)
  set(units /lib/systemd/system)
else()
  set(etc ${CMAKE_INSTALL_PREFIX}/etc)
  set(var ${CMAKE_INSTALL_PREFIX}/var)
  set(units ${CMAKE_INSTALL_PREFIX}/lib/systemd/system)
endif()
set(destdir "$ENV{DESTDIR}")

# The values the templates take.
set(rulosrv ${private}/bin/rulosrv)
set(settings ${etc}/korvex/rulosrv.reg)
set(invexecdir ${var}/lib/korvex/collector/korvex-collector)
set(invoutputfile ${var}/lib/korvex/inventory/inventory.xml)

# qrv_install_link(LINK TARGET): a symbolic link LINK to TARGET.
function(qrv_install_link link target)
  message(STATUS "Installing: ${destdir}${link} -> ${target}")
  get_filename_component(folder "${destdir}${link}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(REMOVE "${destdir}${link}")
  file(CREATE_LINK "${target}" "${destdir}${link}" SYMBOLIC)
endfunction()

# Within the prefix the links are relative, so the tree can move; into the
# variable data they are absolute.
foreach(folder xmlreg xslroot)
  file(RELATIVE_PATH target ${private} ${data}/${folder})
  qrv_install_link(${private}/${folder} ${target})
endforeach()
qrv_install_link(${data}/xslroot/inventory/data ${var}/lib/korvex/inventory)
qrv_install_link(${invexecdir} ${private}/collector/korvex-collector)
file(MAKE_DIRECTORY "${destdir}${var}/lib/korvex/inventory" "${destdir}${var}/log/rulosrv")

configure_file(${source}/rulosrv.service.in "${destdir}${units}/rulosrv.service" @ONLY)
message(STATUS "Installing: ${destdir}${units}/rulosrv.service")
# Settings already there are the administrator's: they stay.
if(EXISTS "${destdir}${settings}")
  message(STATUS "Keeping: ${destdir}${settings}")
else()
  configure_file(${source}/rulosrv.reg.in "${destdir}${settings}" @ONLY)
  message(STATUS "Installing: ${destdir}${settings}")
endif()

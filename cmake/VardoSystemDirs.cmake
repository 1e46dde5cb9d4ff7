# The system folders the installed files go to, as the systemd package names them through
# pkg-config (a fallback where it is missing); each can be set on the command line. Included
# by every folder that installs, so GNUInstallDirs' variables are set in each.
include(GNUInstallDirs)
find_package(PkgConfig QUIET)

function(vardo_system_folder variable module pc_variable fallback)
  if(NOT ${variable})
    if(PKG_CONFIG_FOUND)
      pkg_get_variable(found ${module} ${pc_variable})
    endif()
    if(NOT found)
      set(found ${fallback})
    endif()
    set(${variable} ${found} CACHE PATH "Installation folder: ${module} ${pc_variable}")
  endif()
endfunction()

vardo_system_folder(VARDO_SYSTEMD_UNIT_DIR systemd systemdsystemunitdir /lib/systemd/system)
vardo_system_folder(VARDO_SYSUSERS_DIR systemd sysusersdir /usr/lib/sysusers.d)
vardo_system_folder(VARDO_TMPFILES_DIR systemd tmpfilesdir /usr/lib/tmpfiles.d)

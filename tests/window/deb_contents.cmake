# Builds the .deb from this build tree, lists its contents and checks that the programs, the
# desktop files, the man page, the licence and the dependencies a clean machine needs are in it.
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(
  COMMAND "${CPACK}" -G DEB --config "${CONFIG}" -B "${WORK_DIR}"
  RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()

file(GLOB debs "${WORK_DIR}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${WORK_DIR}, found: ${debs}")
endif()

execute_process(COMMAND "${DPKG_DEB}" --contents "${debs}" OUTPUT_VARIABLE contents
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${DPKG_DEB}" --field "${debs}" Depends OUTPUT_VARIABLE depends
                COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "${debs}\n${contents}Depends: ${depends}")

set(missing "")
foreach(path
    ./usr/bin/marquee8
    ./usr/bin/marquee8-gui
    ./usr/share/applications/${APP_ID}.desktop
    ./usr/share/icons/hicolor/scalable/apps/${APP_ID}.svg
    ./usr/share/metainfo/${APP_ID}.metainfo.xml
    ./usr/share/doc/marquee8/copyright
    ./usr/share/man/man1/marquee8.1.gz)
  string(FIND "${contents}" " ${path}\n" found)
  if(found EQUAL -1)
    list(APPEND missing "${path}")
  endif()
endforeach()
foreach(package libqt6widgets6 libfreetype6)
  string(FIND "${depends}" "${package}" found)
  if(found EQUAL -1)
    list(APPEND missing "Depends: ${package}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "the .deb lacks: ${missing}")
endif()

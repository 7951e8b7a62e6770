# Builds Arduino Uno sketches with Debian's Arduino AVR core (arduino-core-avr) and avr-gcc the
# way the Arduino IDE does: the core's sources into one archive, and each sketch compiled as C++
# with Arduino.h included first, linked against that archive with unused sections dropped.
#
# Sets ARDUINO_UNO_FOUND. With it, ARDUINO_UNO_BUILD_SKETCH is a script that builds any sketch
# into an ELF file (`build-uno-sketch SKETCH.ino FIRMWARE.elf [more avr-g++ options]`), for the
# tests to build variants of a sketch with the same flags, and arduino_uno_sketch() adds one to
# the build.

set(ARDUINO_AVR_DIR /usr/share/arduino/hardware/arduino/avr
    CACHE PATH "The Arduino AVR core (Debian: arduino-core-avr)")
find_program(AVR_GCC avr-gcc)
find_program(AVR_GXX avr-g++)
find_program(AVR_AR avr-ar)

set(ARDUINO_UNO_FOUND FALSE)
if(NOT EXISTS "${ARDUINO_AVR_DIR}/cores/arduino/Arduino.h" OR NOT AVR_GCC OR NOT AVR_GXX
   OR NOT AVR_AR)
  return()
endif()
set(ARDUINO_UNO_FOUND TRUE)

set(core_dir "${ARDUINO_AVR_DIR}/cores/arduino")
set(uno_dir "${PROJECT_BINARY_DIR}/arduino-uno")
set(ARDUINO_UNO_CORE "${uno_dir}/core.a")
set(ARDUINO_UNO_BUILD_SKETCH "${uno_dir}/build-uno-sketch")

# An Uno as boards.txt describes it, for an Arduino IDE of the 1.8 series (ARDUINO=10807).
set(uno_flags
  -mmcu=atmega328p -DF_CPU=16000000L -DARDUINO=10807 -DARDUINO_AVR_UNO -DARDUINO_ARCH_AVR
  "-I${core_dir}" "-I${ARDUINO_AVR_DIR}/variants/standard"
  -Os -ffunction-sections -fdata-sections)
# gcc-avr 5's <float.h> defines DECIMAL_DIG for C alone, and the core's WString.cpp needs it.
set(uno_cxx_flags
  -std=gnu++11 -fno-exceptions -fno-threadsafe-statics -DDECIMAL_DIG=__DECIMAL_DIG__)

# The core is Debian's code: built with the IDE's default of no warnings.
file(GLOB core_sources CONFIGURE_DEPENDS
  "${core_dir}/*.c" "${core_dir}/*.cpp" "${core_dir}/*.S")
# Ninja makes the objects' folder itself; Make leaves that to us.
file(MAKE_DIRECTORY "${uno_dir}/core")
set(core_objects)
foreach(source IN LISTS core_sources)
  get_filename_component(name "${source}" NAME)
  set(object "${uno_dir}/core/${name}.o")
  if(name MATCHES "\\.cpp$")
    set(compile "${AVR_GXX}" ${uno_cxx_flags} -fpermissive)
  elseif(name MATCHES "\\.S$")
    set(compile "${AVR_GCC}" -x assembler-with-cpp)
  else()
    set(compile "${AVR_GCC}" -std=gnu11)
  endif()
  add_custom_command(OUTPUT "${object}"
    COMMAND ${compile} ${uno_flags} -w -c "${source}" -o "${object}"
    DEPENDS "${source}"
    VERBATIM)
  list(APPEND core_objects "${object}")
endforeach()
add_custom_command(OUTPUT "${ARDUINO_UNO_CORE}"
  COMMAND "${CMAKE_COMMAND}" -E rm -f "${ARDUINO_UNO_CORE}"
  COMMAND "${AVR_AR}" rcs "${ARDUINO_UNO_CORE}" ${core_objects}
  DEPENDS ${core_objects}
  COMMENT "Archiving the Arduino core for the Uno"
  VERBATIM)
add_custom_target(arduino_uno_core DEPENDS "${ARDUINO_UNO_CORE}")

# The sketch is ours: every warning is an error.
set(sketch_command
  "${AVR_GXX}" ${uno_flags} ${uno_cxx_flags} -Wall -Wextra -Werror -Wl,--gc-sections)
list(JOIN sketch_command "' '" sketch_command)
file(GENERATE OUTPUT "${ARDUINO_UNO_BUILD_SKETCH}"
  CONTENT "#!/bin/sh
# Builds the Uno sketch $1 into the ELF file $2; more avr-g++ options may follow.
# Written by cmake/arduino_uno.cmake.
set -e
sketch=$1 elf=$2
shift 2
exec '${sketch_command}' \"$@\" -o \"$elf\" -x c++ -include Arduino.h \"$sketch\" \\
  -x none '${ARDUINO_UNO_CORE}' -lm
"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                   WORLD_EXECUTE)

# Adds `target`, the ELF file `target`.elf built from `sketch` and the headers beside it; the
# target's ELF_FILE property names it.
function(arduino_uno_sketch target sketch)
  set(elf "${CMAKE_CURRENT_BINARY_DIR}/${target}.elf")
  add_custom_command(OUTPUT "${elf}"
    COMMAND "${ARDUINO_UNO_BUILD_SKETCH}" "${sketch}" "${elf}" -MMD -MT "${elf}" -MF "${elf}.d"
    DEPENDS "${sketch}" "${ARDUINO_UNO_BUILD_SKETCH}" arduino_uno_core "${ARDUINO_UNO_CORE}"
    DEPFILE "${elf}.d"
    COMMENT "Building the Uno sketch ${target}.elf"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${elf}")
  set_target_properties(${target} PROPERTIES ELF_FILE "${elf}")
endfunction()

# Builds Arduino sketches for AVR boards with Debian's Arduino AVR core (arduino-core-avr) and
# avr-gcc the way the Arduino IDE does: the core's sources into one archive per board, and each
# sketch compiled as C++ with Arduino.h included first, linked against that archive with unused
# sections dropped. The Marquee8 library beside the examples is on the include path, as it is
# once copied into a sketchbook's libraries folder.
#
# Sets ARDUINO_AVR_FOUND. With it, for each board NAME (UNO, MEGA): ARDUINO_NAME_BUILD_SKETCH is
# a script that builds any sketch into an ELF file (`build-NAME-sketch SKETCH.ino FIRMWARE.elf
# [more avr-g++ options]`), for the tests to build variants of a sketch with the same flags;
# arduino_NAME_core the target that archives its core; and arduino_sketch(NAME ...) adds one.

set(ARDUINO_AVR_DIR /usr/share/arduino/hardware/arduino/avr
    CACHE PATH "The Arduino AVR core (Debian: arduino-core-avr)")
find_program(AVR_GCC avr-gcc)
find_program(AVR_GXX avr-g++)
find_program(AVR_AR avr-ar)
find_program(AVR_OBJCOPY avr-objcopy)

set(ARDUINO_AVR_FOUND FALSE)
if(NOT EXISTS "${ARDUINO_AVR_DIR}/cores/arduino/Arduino.h" OR NOT AVR_GCC OR NOT AVR_GXX
   OR NOT AVR_AR OR NOT AVR_OBJCOPY)
  return()
endif()
set(ARDUINO_AVR_FOUND TRUE)
set(ARDUINO_SKETCH_LIBRARY "${PROJECT_SOURCE_DIR}/examples/libraries/Marquee8/src")

set(core_dir "${ARDUINO_AVR_DIR}/cores/arduino")
file(GLOB core_sources CONFIGURE_DEPENDS
  "${core_dir}/*.c" "${core_dir}/*.cpp" "${core_dir}/*.S")
# gcc-avr 5's <float.h> defines DECIMAL_DIG for C alone, and the core's WString.cpp needs it.
set(arduino_cxx_flags
  -std=gnu++11 -fno-exceptions -fno-threadsafe-statics -DDECIMAL_DIG=__DECIMAL_DIG__)

# A board as boards.txt describes it, for an Arduino IDE of the 1.8 series (ARDUINO=10807).
function(arduino_board name mcu board_define variant description)
  string(TOLOWER "${name}" board)
  set(board_flags
    "-mmcu=${mcu}" -DF_CPU=16000000L -DARDUINO=10807 "-D${board_define}" -DARDUINO_ARCH_AVR
    "-I${core_dir}" "-I${ARDUINO_AVR_DIR}/variants/${variant}"
    -Os -ffunction-sections -fdata-sections)
  set(board_dir "${PROJECT_BINARY_DIR}/arduino-${board}")
  set(core "${board_dir}/core.a")
  set(build_sketch "${board_dir}/build-${board}-sketch")
  # Make generators do not create a custom command's output folder; Ninja does.
  file(MAKE_DIRECTORY "${board_dir}/core")

  # The core is Debian's code: built with the IDE's default of no warnings.
  set(core_objects)
  foreach(source IN LISTS core_sources)
    get_filename_component(source_name "${source}" NAME)
    set(object "${board_dir}/core/${source_name}.o")
    if(source_name MATCHES "\\.cpp$")
      set(compile "${AVR_GXX}" ${arduino_cxx_flags} -fpermissive)
    elseif(source_name MATCHES "\\.S$")
      set(compile "${AVR_GCC}" -x assembler-with-cpp)
    else()
      set(compile "${AVR_GCC}" -std=gnu11)
    endif()
    add_custom_command(OUTPUT "${object}"
      COMMAND ${compile} ${board_flags} -w -c "${source}" -o "${object}"
      DEPENDS "${source}"
      VERBATIM)
    list(APPEND core_objects "${object}")
  endforeach()
  add_custom_command(OUTPUT "${core}"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${core}"
    COMMAND "${AVR_AR}" rcs "${core}" ${core_objects}
    DEPENDS ${core_objects}
    COMMENT "Archiving the Arduino core for the ${description}"
    VERBATIM)
  add_custom_target(arduino_${board}_core DEPENDS "${core}")

  # The sketch is ours: every warning is an error. The caller's options come before the
  # library's folder, so that a test's edited copy of a library header wins.
  set(sketch_command
    "${AVR_GXX}" ${board_flags} ${arduino_cxx_flags} -Wall -Wextra -Werror -Wl,--gc-sections)
  list(JOIN sketch_command "' '" sketch_command)
  file(GENERATE OUTPUT "${build_sketch}"
    CONTENT "#!/bin/sh
# Builds the ${description} sketch $1 into the ELF file $2; more avr-g++ options may follow.
# Written by cmake/arduino_avr.cmake.
set -e
sketch=$1 elf=$2
shift 2
exec '${sketch_command}' \"$@\" '-I${ARDUINO_SKETCH_LIBRARY}' -o \"$elf\" \\
  -x c++ -include Arduino.h \"$sketch\" -x none '${core}' -lm
"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                     WORLD_EXECUTE)
  set(ARDUINO_${name}_CORE "${core}" PARENT_SCOPE)
  set(ARDUINO_${name}_BUILD_SKETCH "${build_sketch}" PARENT_SCOPE)
endfunction()

arduino_board(UNO atmega328p ARDUINO_AVR_UNO standard "Uno")
arduino_board(MEGA atmega2560 ARDUINO_AVR_MEGA2560 mega "Mega 2560")

# Adds `target`, the ELF file `output`.elf built for `board` (UNO, MEGA) from `sketch`, the
# headers beside it and the Marquee8 library: the Uno's in the current binary folder, other
# boards' in a folder named after the board (mega/). The target's ELF_FILE property names it,
# and HEX_FILE the Intel HEX of its flash, which a bootloader takes.
function(arduino_sketch board target output sketch)
  string(TOLOWER "${board}" board_name)
  set(folder "${CMAKE_CURRENT_BINARY_DIR}")
  if(NOT board STREQUAL "UNO")
    set(folder "${folder}/${board_name}")
    file(MAKE_DIRECTORY "${folder}")
  endif()
  set(elf "${folder}/${output}.elf")
  add_custom_command(OUTPUT "${elf}"
    COMMAND "${ARDUINO_${board}_BUILD_SKETCH}" "${sketch}" "${elf}" -MMD -MT "${elf}" -MF "${elf}.d"
    DEPENDS "${sketch}" "${ARDUINO_${board}_BUILD_SKETCH}" arduino_${board_name}_core
            "${ARDUINO_${board}_CORE}"
    DEPFILE "${elf}.d"
    COMMENT "Building the ${board_name} sketch ${output}.elf"
    VERBATIM)
  set(hex "${folder}/${output}.hex")
  add_custom_command(OUTPUT "${hex}"
    COMMAND "${AVR_OBJCOPY}" -O ihex -R .eeprom "${elf}" "${hex}"
    DEPENDS "${elf}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${elf}" "${hex}")
  set_target_properties(${target} PROPERTIES ELF_FILE "${elf}" HEX_FILE "${hex}")
endfunction()

# Checks one installed file of UTM with the tool a distribution checks it with.
#
#   cmake -DCHECK=man|desktop|metainfo|icon -DINPUT=FILE [-DWORK_DIR=DIR] -P CheckPackagingFile.cmake
#
#   man       groff formats the page with every warning on, and warns about nothing
#   desktop   desktop-file-validate says nothing about the desktop entry
#   metainfo  appstreamcli validate --no-net passes (no errors, no warnings)
#   icon      rsvg-convert renders the SVG icon to a 64x64 PNG in WORK_DIR
#
# Without the tool the check prints "SKIPPED:" (the test's skip expression)
# and the package of the tool to install; scripts/install-deps installs them all.
cmake_minimum_required(VERSION 3.25)

foreach(var CHECK INPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckPackagingFile.cmake: give -D${var}=...")
  endif()
endforeach()
if(NOT EXISTS "${INPUT}")
  message(FATAL_ERROR "${INPUT} does not exist")
endif()

function(need_tool var name package)
  find_program(${var} ${name})
  if(NOT ${var})
    message("SKIPPED: ${name} is not installed (Debian package ${package})")
    set(skipped TRUE PARENT_SCOPE)
  endif()
endfunction()

set(skipped FALSE)
if(CHECK STREQUAL "man")
  need_tool(tool groff groff-base)
  if(NOT skipped)
    # -ww: all warnings, -z: format without output.
    execute_process(COMMAND ${tool} -man -Tutf8 -ww -z "${INPUT}"
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
      message(FATAL_ERROR "groff finds fault with ${INPUT} (status ${rc}):\n${err}")
    endif()
    file(READ "${INPUT}" page)
    if(page MATCHES "@[A-Za-z_]+@")
      message(FATAL_ERROR "${INPUT} still holds the placeholder ${CMAKE_MATCH_0}")
    endif()
  endif()
elseif(CHECK STREQUAL "desktop")
  need_tool(tool desktop-file-validate desktop-file-utils)
  if(NOT skipped)
    execute_process(COMMAND ${tool} "${INPUT}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT out STREQUAL "" OR NOT err STREQUAL "")
      message(FATAL_ERROR "desktop-file-validate ${INPUT} (status ${rc}):\n${out}${err}")
    endif()
  endif()
elseif(CHECK STREQUAL "metainfo")
  need_tool(tool appstreamcli appstream)
  if(NOT skipped)
    execute_process(COMMAND ${tool} validate --no-net "${INPUT}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    message("${out}${err}")
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "appstreamcli validate --no-net ${INPUT} fails (status ${rc})")
    endif()
  endif()
elseif(CHECK STREQUAL "icon")
  need_tool(tool rsvg-convert librsvg2-bin)
  if(NOT skipped)
    set(png "${WORK_DIR}/icon-check.png")
    file(REMOVE "${png}")
    execute_process(COMMAND ${tool} --width 64 --height 64 --format png
                            --output "${png}" "${INPUT}"
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT EXISTS "${png}")
      message(FATAL_ERROR "rsvg-convert cannot render ${INPUT} (status ${rc}):\n${err}")
    endif()
    # A PNG signature and an IHDR of 64 x 64 pixels.
    file(READ "${png}" head LIMIT 24 HEX)
    if(NOT head MATCHES "^89504e470d0a1a0a0000000d494844520000004000000040$")
      message(FATAL_ERROR "rsvg-convert did not write a 64x64 PNG for ${INPUT}: ${head}")
    endif()
    # The icon must not come out blank: a picture of one colour compresses to
    # a few hundred bytes.
    file(SIZE "${png}" size)
    if(size LESS 1000)
      message(FATAL_ERROR "the rendered icon is ${size} bytes, too small to hold a picture")
    endif()
  endif()
else()
  message(FATAL_ERROR "CheckPackagingFile.cmake: unknown CHECK ${CHECK}")
endif()

# Installs a built tree into a scratch folder and checks what lands where.
#
#   cmake -DBUILD_DIR=... -DROOT=... -DBINDIR=bin -DDATADIR=share -DMANDIR=share/man -DLIBDIR=lib
#         -DAPP_ID=... -DWITH_GUI=0|1 -DWITH_CALC=ON|OFF -DCALC_PROGRAM=...
#         [-DPYTHON_MODULE=lib/python3/dist-packages/utmconv...so -DPYTHON=/usr/bin/python3]
#         -P CheckInstall.cmake
#
# The prefix is ROOT/usr, as in the Debian package. Checks: every file in its
# place; the installed utmconv converts a point, and so does the installed
# Python module (beside it its type stubs); the installed utm finds every
# library it links (the UNO libraries through its RUNPATH, which names no
# folder of the build tree); appstreamcli validate-tree accepts the tree
# (metadata, desktop entry and icon together).
cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR ROOT BINDIR DATADIR MANDIR LIBDIR APP_ID WITH_GUI WITH_CALC)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckInstall.cmake: give -D${var}=...")
  endif()
endforeach()

set(prefix "${ROOT}/usr")
file(REMOVE_RECURSE "${ROOT}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (status ${rc}):\n${out}${err}")
endif()

set(expected "${BINDIR}/utmconv")
if(EXISTS "${prefix}/${MANDIR}/man1/utmconv.1.gz")
  set(man_suffix ".1.gz")
else()
  set(man_suffix ".1")
endif()
list(APPEND expected "${MANDIR}/man1/utmconv${man_suffix}")
# The GIS module, loaded by utmconv and utm when a GIS file is read or written.
list(APPEND expected "${LIBDIR}/utm/utm-gis.so")
# The Python module and its type stubs.
if(PYTHON_MODULE)
  get_filename_component(python_dir "${PYTHON_MODULE}" DIRECTORY)
  list(APPEND expected "${PYTHON_MODULE}" "${python_dir}/utmconv.pyi")
endif()
if(WITH_GUI)
  list(APPEND expected
       "${BINDIR}/utm"
       "${MANDIR}/man1/utm${man_suffix}"
       "${DATADIR}/applications/${APP_ID}.desktop"
       "${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg"
       "${DATADIR}/icons/hicolor/16x16/apps/${APP_ID}.svg"
       "${DATADIR}/icons/hicolor/24x24/apps/${APP_ID}.svg"
       "${DATADIR}/metainfo/${APP_ID}.metainfo.xml")
endif()
set(missing "")
foreach(path IN LISTS expected)
  if(NOT EXISTS "${prefix}/${path}")
    list(APPEND missing "${path}")
  endif()
endforeach()
file(GLOB_RECURSE installed RELATIVE "${prefix}" "${prefix}/*")
list(SORT installed)
string(REPLACE ";" "\n  " installed_listing "${installed}")
if(missing)
  message(FATAL_ERROR "cmake --install left out ${missing}; it installed:\n  ${installed_listing}")
endif()
# Nothing else: no static libraries, headers or test programs.
list(SORT expected)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "cmake --install put more than the programs, pages and desktop "
                      "files under the prefix:\n  ${installed_listing}")
endif()

# The installed utmconv works on its own.
execute_process(COMMAND "${prefix}/${BINDIR}/utmconv" point --ellipsoid everest --cm 84
                        --to-xy 27.7 85.3
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "628198.19317284\t3065307.73239086\n")
  message(FATAL_ERROR "the installed utmconv gave status ${rc}, output \"${out}\", ${err}")
endif()

# The installed module works on its own, from its folder.
if(PYTHON_MODULE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "PYTHONPATH=${prefix}/${python_dir}"
                          "${PYTHON}" -c
                          "import utmconv; print('%.15g %.15g' % utmconv.to_xy(27.7, 85.3, cm=84, ellipsoid='everest'))"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "628198.19317284 3065307.73239086\n")
    message(FATAL_ERROR "the installed Python module gave status ${rc}, output \"${out}\", ${err}")
  endif()
endif()

if(WITH_GUI)
  # Every library utm links is found from the installed copy.
  find_program(LDD ldd REQUIRED)
  execute_process(COMMAND ${LDD} "${prefix}/${BINDIR}/utm"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR out MATCHES "not found")
    message(FATAL_ERROR "the installed utm does not find its libraries:\n${out}${err}")
  endif()
  find_program(READELF readelf REQUIRED)
  execute_process(COMMAND ${READELF} -d "${prefix}/${BINDIR}/utm"
                  OUTPUT_VARIABLE dynamic RESULT_VARIABLE rc)
  set(runpath "")
  if(dynamic MATCHES "R(UN)?PATH\\)[^[]*\\[([^]]*)\\]")
    set(runpath "${CMAKE_MATCH_2}")
  endif()
  if(WITH_CALC)
    if(NOT dynamic MATCHES "libuno_sal")
      message(FATAL_ERROR "utm was built with the Calc bridge but links no UNO library")
    endif()
    string(REPLACE ":" ";" entries "${runpath}")
    if(NOT "${CALC_PROGRAM}" IN_LIST entries)
      message(FATAL_ERROR "the installed utm's RUNPATH \"${runpath}\" lacks ${CALC_PROGRAM}")
    endif()
  endif()
  string(FIND "${runpath}" "${BUILD_DIR}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "the installed utm's RUNPATH \"${runpath}\" names the build tree")
  endif()

  find_program(APPSTREAMCLI appstreamcli)
  if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net "${ROOT}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "appstreamcli validate-tree ${ROOT} fails:\n${out}${err}")
    endif()
  else()
    message(STATUS "appstreamcli (Debian package appstream) is not installed: the tree's "
                   "metadata is not validated here")
  endif()
endif()
message(STATUS "cmake --install puts under ${prefix}:\n  ${installed_listing}")

# Copies of the project's static libraries built without the sanitizers, for
# code that runs inside a program which has no sanitizer runtime (the Python
# module, loaded by the system's python3: an AddressSanitizer library there
# fails to load, as the runtime must come first in the process).

# utm_unsanitized_copy(<library> <out-var>): the copy <library>_unsanitized of
# the project's static library <library>, and of every static library of the
# project it links, made once: the same sources with the same include
# folders, definitions and options, each file's own options too (the series
# are built -O3), linking the copies of those libraries. The copies carry the
# property UTM_UNSANITIZED, for which utm_apply_build_options
# (UtmBuildOptions.cmake) leaves the sanitizers out. Sets <out-var> to the
# copy's name.
function(utm_unsanitized_copy library out)
  set(copy ${library}_unsanitized)
  if(NOT TARGET ${copy})
    get_target_property(sources ${library} SOURCES)
    get_target_property(source_dir ${library} SOURCE_DIR)
    set(paths "")
    foreach(source IN LISTS sources)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${source_dir}" NORMALIZE
                 OUTPUT_VARIABLE path)
      get_source_file_property(options "${path}" DIRECTORY "${source_dir}" COMPILE_OPTIONS)
      if(options)
        set_source_files_properties("${path}" PROPERTIES COMPILE_OPTIONS "${options}")
      endif()
      list(APPEND paths "${path}")
    endforeach()
    add_library(${copy} STATIC ${paths})
    foreach(property INCLUDE_DIRECTORIES COMPILE_DEFINITIONS COMPILE_OPTIONS
                     INTERFACE_INCLUDE_DIRECTORIES INTERFACE_COMPILE_DEFINITIONS
                     INTERFACE_COMPILE_OPTIONS)
      get_target_property(value ${library} ${property})
      if(value)
        set_property(TARGET ${copy} PROPERTY ${property} "${value}")
      endif()
    endforeach()
    set_property(TARGET ${copy} PROPERTY UTM_UNSANITIZED ON)
    get_target_property(links ${library} LINK_LIBRARIES)
    set(copied_links "")
    foreach(link IN LISTS links)
      if(TARGET ${link})
        get_target_property(type ${link} TYPE)
        get_target_property(imported ${link} IMPORTED)
        if(type STREQUAL "STATIC_LIBRARY" AND NOT imported)
          utm_unsanitized_copy(${link} link)
        endif()
      endif()
      list(APPEND copied_links ${link})
    endforeach()
    if(copied_links)
      target_link_libraries(${copy} PUBLIC ${copied_links})
    endif()
    get_target_property(dependencies ${library} MANUALLY_ADDED_DEPENDENCIES)
    if(dependencies)
      add_dependencies(${copy} ${dependencies})
    endif()
  endif()
  set(${out} ${copy} PARENT_SCOPE)
endfunction()

# Compiler options of the project's own targets. They go on each target
# (never as directory-wide flags), so that imported and generated code keeps
# its own, and a consumer of these folders gets only what it asks for:
#   UTM_WERROR     warnings are errors (on in CI through scripts/test)
#   UTM_SANITIZE   AddressSanitizer and UndefinedBehaviorSanitizer
#   fuzzing        coverage for libFuzzer with both sanitizers (UTM_BUILD_FUZZ)
# A target whose property UTM_UNSANITIZED is set gets the warnings only: the
# Python module and the copies of the libraries it links
# (UtmUnsanitizedCopy.cmake), which run in a process without the sanitizers'
# runtime.

# Every target defined in `dir` and the folders below it.
function(utm_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    utm_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Puts the options on every compiled target of the project.
function(utm_apply_build_options)
  set(compile -Wall -Wextra)
  set(link)
  if(UTM_WERROR)
    list(APPEND compile -Werror)
  endif()
  set(plain_compile ${compile})
  if(UTM_SANITIZE)
    list(APPEND compile -fsanitize=address,undefined -fno-omit-frame-pointer
         -fno-sanitize-recover=all)
    list(APPEND link -fsanitize=address,undefined)
  endif()
  if(utm_fuzz)
    list(APPEND compile -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
         -fno-sanitize-recover=all)
    list(APPEND link -fsanitize=address,undefined)
  endif()
  utm_targets_below(${CMAKE_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      get_target_property(unsanitized ${target} UTM_UNSANITIZED)
      if(unsanitized)
        target_compile_options(${target} BEFORE PRIVATE ${plain_compile})
        continue()
      endif()
      # First, as directory-wide flags would be: a target or a library it links
      # may turn one off again (UNO code is built without the vptr check).
      target_compile_options(${target} BEFORE PRIVATE ${compile})
      if(link AND NOT type STREQUAL "STATIC_LIBRARY" AND NOT type STREQUAL "OBJECT_LIBRARY")
        target_link_options(${target} PRIVATE ${link})
      endif()
    endif()
  endforeach()
endfunction()

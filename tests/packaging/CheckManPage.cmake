# Holds the manual page of utmconv to the program's own --help, so that the two
# cannot drift apart.
#
#   cmake -DUTMCONV=path/to/utmconv -DMAN_PAGE=packaging/utmconv.1 -P CheckManPage.cmake
#
# From `utmconv --help` it reads the options and the subcommands, and from
# `utmconv SUBCOMMAND --help` each subcommand's options and positionals. In the
# page, the tag line after each .TP (or .TQ) in the OPTIONS section names the
# options of utmconv itself, and in a subsection `.SS "utmconv SUBCOMMAND"` the
# options of that subcommand. It fails when
#   - a subcommand has no subsection, or a subsection names no subcommand;
#   - an option --help lists is not named by a tag of its section (an option
#     of utmconv itself that every subcommand also lists, as -h/--help, is
#     named once under OPTIONS);
#   - a tag names an option the --help of its section does not list;
#   - a positional (DATAFILE, OUTFILE) of a subcommand is not in its subsection;
#   - any line of the page names a long option no --help lists.

cmake_minimum_required(VERSION 3.25)

foreach(var UTMCONV MAN_PAGE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckManPage.cmake: give -D${var}=...")
  endif()
endforeach()

# Brackets and semicolons would split or join CMake list elements: every text
# is read with them replaced.
function(to_lines text out)
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<lbracket>" text "${text}")
  string(REPLACE "]" "<rbracket>" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Runs utmconv with the arguments and parses its help. Sets, in the caller,
# <prefix>_options (every option name, short and long), <prefix>_subcommands
# and <prefix>_positionals.
function(read_help prefix)
  execute_process(COMMAND "${UTMCONV}" ${ARGN} --help
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "utmconv ${ARGN} --help ended with ${rc}: ${err}")
  endif()
  to_lines("${out}" lines)
  set(section "")
  set(options "")
  set(subcommands "")
  set(positionals "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z][A-Za-z ]*):$")
      set(section "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^  ([^ ]+)")
      set(first "${CMAKE_MATCH_1}")
      if(section STREQUAL "Subcommands")
        list(APPEND subcommands "${first}")
      elseif(section STREQUAL "Positionals")
        list(APPEND positionals "${first}")
      elseif(first MATCHES "^-")
        string(REPLACE "," ";" names "${first}")
        list(APPEND options ${names})
      endif()
    endif()
  endforeach()
  set(${prefix}_options "${options}" PARENT_SCOPE)
  set(${prefix}_subcommands "${subcommands}" PARENT_SCOPE)
  set(${prefix}_positionals "${positionals}" PARENT_SCOPE)
endfunction()

# The text of a roff line as read: \- as -, without font changes, \& and \c.
function(plain_roff line out)
  string(REPLACE "\\-" "-" line "${line}")
  string(REGEX REPLACE "\\\\f[A-Z]" "" line "${line}")
  string(REPLACE "\\&" "" line "${line}")
  string(REPLACE "\\c" "" line "${line}")
  set(${out} "${line}" PARENT_SCOPE)
endfunction()

set(problems "")
# One finding, given in one or more pieces of text (without semicolons).
function(problem)
  string(CONCAT text ${ARGV})
  set(problems ${problems} "${text}" PARENT_SCOPE)
endfunction()

# What utmconv says about itself.
read_help(top)
if(NOT top_subcommands OR NOT "--help" IN_LIST top_options)
  message(FATAL_ERROR "utmconv --help lists no subcommands or no --help; the check "
                      "cannot read it (options: ${top_options}; subcommands: ${top_subcommands})")
endif()
set(known_options ${top_options})
foreach(sub IN LISTS top_subcommands)
  read_help(help_${sub} ${sub})
  list(APPEND known_options ${help_${sub}_options})
endforeach()
list(REMOVE_DUPLICATES known_options)

# What the page says. Scope "-" is outside any section whose options are
# checked, "" is the OPTIONS section, anything else a subcommand.
file(READ "${MAN_PAGE}" page)
to_lines("${page}" page_lines)
set(scope "-")
set(tag_next FALSE)
set(page_sections "")
set(page_options_ "")
set(line_number 0)
foreach(line IN LISTS page_lines)
  math(EXPR line_number "${line_number} + 1")
  if(line MATCHES "^[.'][ \t]*\\\\\"")
    continue()  # a comment
  endif()
  plain_roff("${line}" text)
  if(text MATCHES "^\\.SH[ \t]+\"?OPTIONS\"?[ \t]*$")
    set(scope "")
  elseif(text MATCHES "^\\.SH")
    set(scope "-")
  elseif(text MATCHES "^\\.SS[ \t]+\"?utmconv[ \t]+([a-z0-9-]+)\"?[ \t]*$")
    set(scope "${CMAKE_MATCH_1}")
    list(APPEND page_sections "${scope}")
    set(page_options_${scope} "")
    set(page_text_${scope} "")
  elseif(text MATCHES "^\\.SS")
    set(scope "-")
  elseif(text MATCHES "^\\.T[PQ]([ \t]|$)")
    set(tag_next TRUE)
    continue()
  elseif(tag_next)
    if(NOT scope STREQUAL "-")
      # The tag: its macro name, quotes and separators left out.
      string(REGEX REPLACE "^\\.[A-Z]+[ \t]*" "" tag "${text}")
      string(REGEX REPLACE "[\"|,()]|<lbracket>|<rbracket>" " " tag "${tag}")
      string(REGEX MATCHALL "[^ \t]+" words "${tag}")
      foreach(word IN LISTS words)
        if(word MATCHES "^--?[A-Za-z0-9][A-Za-z0-9-]*$")
          list(APPEND page_options_${scope} "${word}")
        endif()
      endforeach()
    endif()
  endif()
  set(tag_next FALSE)
  if(NOT scope STREQUAL "-" AND NOT scope STREQUAL "")
    string(APPEND page_text_${scope} " ${text}")
  endif()
  # Every long option named anywhere must exist.
  string(REGEX MATCHALL "--[A-Za-z0-9][A-Za-z0-9-]*" named "${text}")
  foreach(option IN LISTS named)
    if(NOT option IN_LIST known_options)
      problem("line ${line_number} names ${option}, which no utmconv --help lists")
    endif()
  endforeach()
endforeach()

# utmconv itself: OPTIONS names exactly what `utmconv --help` lists.
foreach(option IN LISTS top_options)
  if(NOT option IN_LIST page_options_)
    problem("utmconv --help lists ${option}, but the OPTIONS section has no .TP entry for it")
  endif()
endforeach()
foreach(option IN LISTS page_options_)
  if(NOT option IN_LIST top_options)
    problem("the OPTIONS section has an entry for ${option}, which utmconv --help does not list")
  endif()
endforeach()

# Each subcommand: its subsection names exactly what its --help lists.
foreach(sub IN LISTS top_subcommands)
  if(NOT sub IN_LIST page_sections)
    problem("utmconv --help lists the subcommand ${sub}, but the page has no subsection "
            "utmconv ${sub} (.SS)")
    continue()
  endif()
  foreach(option IN LISTS help_${sub}_options)
    if(option IN_LIST top_options AND option IN_LIST page_options_)
      continue()  # named once under OPTIONS for every subcommand
    endif()
    if(NOT option IN_LIST page_options_${sub})
      problem("utmconv ${sub} --help lists ${option}, but the subsection \"utmconv ${sub}\" "
              "has no .TP entry for it")
    endif()
  endforeach()
  foreach(option IN LISTS page_options_${sub})
    if(NOT option IN_LIST help_${sub}_options)
      problem("the subsection \"utmconv ${sub}\" has an entry for ${option}, which "
              "utmconv ${sub} --help does not list")
    endif()
  endforeach()
  foreach(positional IN LISTS help_${sub}_positionals)
    string(FIND "${page_text_${sub}}" "${positional}" at)
    if(at EQUAL -1)
      problem("utmconv ${sub} --help lists the argument ${positional}, but the subsection "
              "\"utmconv ${sub}\" does not name it")
    endif()
  endforeach()
endforeach()
foreach(section IN LISTS page_sections)
  if(NOT section IN_LIST top_subcommands)
    problem("the page has a subsection \"utmconv ${section}\", but utmconv --help lists no "
            "subcommand ${section}")
  endif()
endforeach()

if(problems)
  list(LENGTH problems count)
  string(REPLACE ";" "\n  " listing "${problems}")
  string(REPLACE "<semicolon>" ";" listing "${listing}")
  string(REPLACE "<lbracket>" "[" listing "${listing}")
  string(REPLACE "<rbracket>" "]" listing "${listing}")
  message(FATAL_ERROR "${MAN_PAGE} and utmconv --help disagree (${count}):\n  ${listing}")
endif()
list(JOIN top_subcommands ", " sub_names)
list(LENGTH known_options option_count)
message(STATUS "${MAN_PAGE} names the subcommands ${sub_names} and the ${option_count} "
               "option names of utmconv --help, and no other")

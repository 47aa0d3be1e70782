# The two texts scripts/release puts in each zip beside toofel.exe, made into
# ${generated}: README.txt from app/README.txt.in, and LICENSE.txt from
# LICENSE. Both get a UTF-8 byte-order mark and CRLF line ends, so that Notepad
# on Windows XP shows them with their ø and their lines.
#
# The change list of README.txt is made here from CHANGELOG.md, the one place
# it is written, and reaches the template as ${TOOFEL_CHANGE_LIST}. A value put
# in by configure_file is not read again for ${...} or @...@, so the change
# log's text arrives as written.

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/LICENSE)

# CHANGELOG.md's releases as plain text: "## [1.3] - 2026-12-08" becomes
# "What changed in 1.3 (2026-12-08)" over a line of dashes, "### Fixed" becomes
# "Fixed:", and code marks go. Stops the configure unless the newest release in
# the change log is the version being built, so no version leaves without its
# entry.
function(toofel_change_list changelog version out_var)
  file(READ ${changelog} text)
  string(REPLACE "\r" "" text "${text}")
  string(REGEX MATCHALL "\n## \\[[^]\n]*\\] - [0-9-]+" headings "${text}")
  if(NOT headings)
    message(FATAL_ERROR "${changelog} has no release heading like \"## [${version}] - 2026-12-08\"")
  endif()
  list(GET headings 0 newest)
  string(REGEX REPLACE "\n## \\[([^]]*)\\].*" "\\1" newest "${newest}")
  if(NOT newest STREQUAL version)
    message(FATAL_ERROR "The newest release in ${changelog} is ${newest}, but the project's version is "
      "${version}: give this version its entry in the change log, or the project its version.")
  endif()
  string(FIND "${text}" "\n## [" start)
  string(SUBSTRING "${text}" ${start} -1 text)
  foreach(heading IN LISTS headings)
    string(REGEX REPLACE "\n## \\[([^]]*)\\] - (.*)" "What changed in \\1 (\\2)" title "${heading}")
    string(LENGTH "${title}" length)
    string(REPEAT "-" ${length} underline)
    string(REPLACE "${heading}" "\n${title}\n${underline}" text "${text}")
  endforeach()
  string(REGEX REPLACE "\n### ([^\n]*)" "\n\\1:" text "${text}")
  string(REPLACE "`" "" text "${text}")
  string(STRIP "${text}" text)
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

toofel_change_list(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_VERSION} TOOFEL_CHANGE_LIST)
# NEWLINE_STYLE ends the template's lines, not those inside a value put in.
string(REPLACE "\n" "\r\n" TOOFEL_CHANGE_LIST "${TOOFEL_CHANGE_LIST}")
configure_file(app/README.txt.in ${generated}/README.txt NEWLINE_STYLE CRLF)

# LICENSE stays plain in the sources; the zips' copy gets the mark and CRLF.
string(ASCII 239 187 191 utf8_bom)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REPLACE "\r" "" licence "${licence}")
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE ${generated}/LICENSE.txt "${utf8_bom}${licence}")

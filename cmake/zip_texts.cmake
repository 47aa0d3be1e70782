# The texts scripts/release puts in the zips, made into ${generated} with a
# UTF-8 byte-order mark and CRLF line ends, so that Notepad on Windows XP shows
# them with their ø and their lines. The two README texts are written here as
# .in files; cmake/commit.cmake fills in the commit at each build.
# - README.txt, for the program's two zips: README.md's parts "user" and
#   "kit" as plain text, and the change list from CHANGELOG.md. Each fact a
#   user reads stands in one place of the sources.
# - kit-README.txt, the test kit's README.txt: README.md's part "kit".
# - LICENSE.txt, from LICENSE; and the kit's run-tests.cmd, which cmd on
#   Windows XP reads only with CRLF line ends.

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/tools/test-runner/run-tests.cmd)

string(ASCII 239 187 191 utf8_bom)

# Each Markdown heading the pattern finds, rewritten by the replacement, over
# a line of dashes as long.
function(toofel_underline text pattern replacement out_var)
  string(REGEX MATCHALL "${pattern}" headings "${text}")
  foreach(heading IN LISTS headings)
    string(REGEX REPLACE "${pattern}" "${replacement}" title "${heading}")
    string(LENGTH "${title}" length)
    string(REPEAT "-" ${length} underline)
    string(REPLACE "${heading}" "\n${title}\n${underline}" text "${text}")
  endforeach()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# A part of README.md, between the lines "<!-- NAME..." and "<!-- /NAME -->",
# as plain text: headings underlined, code marks, bold and links gone, and the
# VERSION in a zip's name the version being built. Stops the configure where
# the part holds a table, which would need a layout of its own, or a line
# longer than 80 bytes, which a window 80 characters wide would break.
function(toofel_plain_part name version out_var)
  file(READ ${PROJECT_SOURCE_DIR}/README.md text)
  string(REPLACE "\r" "" text "${text}")
  string(FIND "${text}" "<!-- ${name}" start)
  string(FIND "${text}" "\n<!-- /${name} -->" end)
  if(start EQUAL -1 OR end EQUAL -1)
    message(FATAL_ERROR "README.md has no part marked <!-- ${name} --> ... <!-- /${name} -->")
  endif()
  string(SUBSTRING "${text}" ${start} -1 text)
  string(FIND "${text}" "\n" first_line_end)
  math(EXPR length "${end} - ${start} - ${first_line_end}")
  string(SUBSTRING "${text}" ${first_line_end} ${length} text)
  if(text MATCHES "\n\\|")
    message(FATAL_ERROR "README.md's part ${name} holds a table; its plain text would not read as one")
  endif()
  toofel_underline("${text}" "\n##+ ([^\n]*)" "\\1" text)
  string(REGEX REPLACE "\n!\\[[^\n]*" "" text "${text}")  # pictures
  string(REGEX REPLACE "\\*\\*([^*]*)\\*\\*" "\\1" text "${text}")
  string(REGEX REPLACE "\\[([^]]*)\\]\\([^)]*\\)" "\\1" text "${text}")
  string(REPLACE "`" "" text "${text}")
  string(REPLACE "toofel-VERSION-" "toofel-${version}-" text "${text}")
  string(REGEX REPLACE "\n\n\n+" "\n\n" text "${text}")
  string(REPEAT "[^\n]" 81 too_long)
  string(REGEX MATCH "${too_long}[^\n]*" long_line "${text}")
  if(long_line)
    message(FATAL_ERROR "A line of README.md's part ${name} is longer than 80 bytes as plain text: ${long_line}")
  endif()
  string(STRIP "${text}" text)
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# Writes the text with CRLF line ends, as Notepad and cmd on Windows XP read
# them; the texts Notepad shows begin with utf8_bom.
function(toofel_write_windows_text file text)
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${file} "${text}")
endfunction()

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
  toofel_underline("${text}" "\n## \\[([^]\n]*)\\] - ([0-9-]+)" "What changed in \\1 (\\2)" text)
  string(REGEX REPLACE "\n### ([^\n]*)" "\n\\1:" text "${text}")
  string(REPLACE "`" "" text "${text}")
  string(STRIP "${text}" text)
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# A title over a line of the same length; the o-slashes count as one character each.
function(toofel_title text out_var)
  string(REPLACE "ø" "o" plain "${text}")
  string(LENGTH "${plain}" length)
  string(REPEAT "=" ${length} underline)
  set(${out_var} "${text}\n${underline}" PARENT_SCOPE)
endfunction()

set(licence_line "tøøfel is free software under the MIT licence; see LICENSE.txt.")
toofel_change_list(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_VERSION} change_list)
toofel_plain_part(user ${PROJECT_VERSION} user_text)
toofel_plain_part(kit ${PROJECT_VERSION} kit_text)

# As the version resource gives it: the release, and the commit built.
set(source_line "Version ${PROJECT_VERSION} (@TOOFEL_SOURCE@): the release and the commit it is made from.")
toofel_title("tøøfel ${PROJECT_VERSION}" title)
toofel_write_windows_text(${generated}/README.txt.in
  "${utf8_bom}${title}\n\n${source_line}\n\n${user_text}\n\n${kit_text}\n\n${licence_line}\n\n${change_list}\n")
toofel_title("tøøfel ${PROJECT_VERSION} test kit" title)
toofel_write_windows_text(${generated}/kit-README.txt.in
  "${utf8_bom}${title}\n\n${source_line}\n\n${kit_text}\n\n${licence_line}\n")

file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
toofel_write_windows_text(${generated}/LICENSE.txt "${utf8_bom}${licence}")

file(READ ${PROJECT_SOURCE_DIR}/tools/test-runner/run-tests.cmd run_tests)
toofel_write_windows_text(${generated}/run-tests.cmd "${run_tests}")

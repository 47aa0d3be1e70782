# Run at every build (cmake -P): names the commit the sources came from, so
# that two builds of different sources never carry the same version.
#
#   -DSOURCE_DIR=  the tree being built
#   -DVERSION=     the project's version, MAJOR.MINOR
#   -DCOMMIT=      the commit's hash, where the tree has no git (scripts/release
#                  builds from git archive); asked of git when empty
#   -DGENERATED=   the folder for commit.h and the zips' texts
#
# Writes GENERATED/commit.h, and README.txt and kit-README.txt from their .in
# files, only where their content changes: a build of the same source
# rebuilds nothing.

set(commit_digits 10)

if(COMMIT)
  set(source "${COMMIT}")
else()
  # The build runs this tree's code anyway, so git may read it whoever owns it
  # (the scripts build as root in a user's clone); no optional locks, so a
  # build never holds up git in the same tree.
  set(git git -c safe.directory=* --no-optional-locks -C "${SOURCE_DIR}")
  execute_process(COMMAND ${git} rev-parse HEAD
    RESULT_VARIABLE failed OUTPUT_VARIABLE hash ERROR_VARIABLE why OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed)
    message(FATAL_ERROR "git gives no commit for ${SOURCE_DIR} (${why}); give it with -DTOOFEL_COMMIT=HASH.")
  endif()
  set(source "${hash}")
  execute_process(COMMAND ${git} status --porcelain --untracked-files=no OUTPUT_VARIABLE changes)
endif()
string(TOLOWER "${source}" source)
if(NOT source MATCHES "^[0-9a-f]+$")
  message(FATAL_ERROR "The commit \"${source}\" is not a hash of hex digits.")
endif()
string(LENGTH "${source}" length)
if(length LESS commit_digits)
  message(FATAL_ERROR "The commit \"${source}\" has fewer than ${commit_digits} digits.")
endif()
string(SUBSTRING "${source}" 0 ${commit_digits} commit)
set(source "${commit}")
if(changes)
  set(source "${commit}, changed")
endif()

# Writes the text to the file unless the file holds it already.
function(write_when_changed file text)
  if(EXISTS "${file}")
    file(READ "${file}" old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE "${file}" "${text}")
endfunction()

write_when_changed("${GENERATED}/commit.h" "#pragma once
// Written at each build by cmake/commit.cmake: the commit of the sources built.

#define TOOFEL_COMMIT \"${commit}\"
#define TOOFEL_PRODUCT_VERSION \"${VERSION} (${source})\"
")

foreach(text README.txt kit-README.txt)
  file(READ "${GENERATED}/${text}.in" content)
  string(REPLACE "@TOOFEL_SOURCE@" "${source}" content "${content}")
  write_when_changed("${GENERATED}/${text}" "${content}")
endforeach()

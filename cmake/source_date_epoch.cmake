# PLUMWICK_SOURCE_DATE_EPOCH: the one time every artefact is stamped with, so
# that a commit gives the same bytes whoever builds it, where and when. Taken,
# as the Reproducible Builds convention has it, from SOURCE_DATE_EPOCH when the
# builder sets it; else from the commit being built; else (a copy without its
# git history) from the newest release day in CHANGELOG.md, at noon UTC.

function(plumwick_commit_time out)
  find_package(Git QUIET)
  set(time "")
  if(GIT_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" log -1 --format=%ct
      OUTPUT_VARIABLE time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # A commit or checkout in the same build tree configures again.
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" rev-parse
        --path-format=absolute --git-path logs/HEAD
      OUTPUT_VARIABLE head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(EXISTS "${head_log}")
      set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
    endif()
  endif()
  set(${out} "${time}" PARENT_SCOPE)
endfunction()

function(plumwick_changelog_time out)
  file(STRINGS "${PROJECT_SOURCE_DIR}/CHANGELOG.md" releases
    REGEX "^## [^ ]+ \\([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\\)$")
  list(GET releases 0 newest)
  string(REGEX REPLACE ".*\\((.*)\\)$" "\\1" day "${newest}")
  execute_process(COMMAND date -u -d "${day} 12:00 UTC" +%s
    OUTPUT_VARIABLE time OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${out} "${time}" PARENT_SCOPE)
endfunction()

if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(PLUMWICK_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  plumwick_commit_time(PLUMWICK_SOURCE_DATE_EPOCH)
  if(NOT PLUMWICK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    plumwick_changelog_time(PLUMWICK_SOURCE_DATE_EPOCH)
  endif()
endif()
if(NOT PLUMWICK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "No build time: set SOURCE_DATE_EPOCH (seconds since 1970)")
endif()

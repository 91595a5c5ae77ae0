# CHANGELOG.md is the one place where the version and its release date are
# written. Its release headings read "## <version> - <YYYY-MM-DD>", newest
# first, each followed by "- " items (wrapped lines indented by two spaces).
#
#   vorla_changelog_release(FILE VERSION_VAR DATE_VAR)
#       the newest release: the version the sources build
#   vorla_changelog_formats(FILE APPSTREAM_VAR DEBIAN_VAR PACKAGE MAINTAINER)
#       every release as AppStream <release> elements, and as a Debian
#       changelog of PACKAGE signed by MAINTAINER

set(_vorla_release_heading "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")

function(vorla_changelog_release file version_var date_var)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
  file(STRINGS "${file}" headings REGEX "^## ")
  list(GET headings 0 newest)
  if(NOT newest MATCHES "${_vorla_release_heading}")
    message(FATAL_ERROR "${file}: the first heading '${newest}' is not '## <version> - <YYYY-MM-DD>'")
  endif()
  set(${version_var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  set(${date_var} "${CMAKE_MATCH_2}" PARENT_SCOPE)
endfunction()

# An item's text as XML character data.
function(_vorla_xml_text text out_var)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

function(vorla_changelog_formats file appstream_var debian_var package maintainer)
  file(STRINGS "${file}" lines)
  set(appstream "")
  set(debian "")
  set(version "")
  # A heading after the last release closes it.
  list(APPEND lines "## end")
  foreach(line IN LISTS lines)
    if(line MATCHES "^## ")
      if(version)
        string(APPEND appstream "    <release version=\"${version}\" date=\"${date}\">\n"
                                "      <description>\n        <ul>\n${items}</li>\n        </ul>\n"
                                "      </description>\n    </release>\n")
        # Debian wants the day of the week too; date(1) gives it in English.
        execute_process(COMMAND env LC_ALL=C date -u -R -d "${date} 00:00:00 UTC"
                        OUTPUT_VARIABLE debian_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        string(APPEND debian "${package} (${version}) unstable; urgency=medium\n\n${debian_items}\n"
                             " -- ${maintainer}  ${debian_date}\n\n")
      endif()
      set(version "")
      if(line MATCHES "${_vorla_release_heading}")
        set(version "${CMAKE_MATCH_1}")
        set(date "${CMAKE_MATCH_2}")
        set(items "")
        set(debian_items "")
      endif()
    elseif(version AND line MATCHES "^- (.*)$")
      set(text "${CMAKE_MATCH_1}")
      _vorla_xml_text("${text}" xml)
      if(NOT items STREQUAL "")
        string(APPEND items "</li>\n")
      endif()
      string(APPEND items "          <li>${xml}")
      string(APPEND debian_items "  * ${text}\n")
    elseif(version AND NOT items STREQUAL "" AND line MATCHES "^  +(.*)$")
      set(text "${CMAKE_MATCH_1}")
      _vorla_xml_text("${text}" xml)
      string(APPEND items " ${xml}")
      string(APPEND debian_items "    ${text}\n")
    endif()
  endforeach()
  set(${appstream_var} "${appstream}" PARENT_SCOPE)
  set(${debian_var} "${debian}" PARENT_SCOPE)
endfunction()

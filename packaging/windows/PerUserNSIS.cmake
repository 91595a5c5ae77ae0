# The installer installs for the user who runs it, without administrator
# rights: CMake's own NSIS template, with its few machine-wide choices made
# per user, built as a 64-bit program, its licence page showing the GPL as
# information, and no installer system's name at the foot of its pages. Writes NSIS.template.in into OUTPUT_DIR, which CPack then
# takes before its own (CPACK_MODULE_PATH).
#   vorla_per_user_nsis_template(OUTPUT_DIR)
function(vorla_per_user_nsis_template output_dir)
  set(cmake_template "${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in")
  file(READ "${cmake_template}" template)
  set(changes
    # Asks for no elevation; the installed files' dates are not stored, so
    # that the installer of one commit is the same bytes wherever it is made.
    "RequestExecutionLevel admin" "RequestExecutionLevel user\nSetDateSave off"
    # Shortcuts and SHCTX registry keys: the user's, even for an administrator.
    "SetShellVarContext all" "SetShellVarContext current"
    # The "just me" default folder is the install root, not Documents.
    "$DOCUMENTS\\@CPACK_PACKAGE_INSTALL_DIRECTORY@" "@CPACK_NSIS_INSTALL_ROOT@\\@CPACK_PACKAGE_INSTALL_DIRECTORY@"
    # The uninstall entries, which the template keeps in HKLM.
    "HKLM \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" "HKCU \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
    # The vendor's key, which the uninstaller leaves behind once empty.
    "DeleteRegKey /ifempty SHCTX \"Software\\@CPACK_PACKAGE_VENDOR@\\@CPACK_PACKAGE_INSTALL_REGISTRY_KEY@\""
    "DeleteRegKey /ifempty SHCTX \"Software\\@CPACK_PACKAGE_VENDOR@\\@CPACK_PACKAGE_INSTALL_REGISTRY_KEY@\"\n  DeleteRegKey /ifempty SHCTX \"Software\\@CPACK_PACKAGE_VENDOR@\"")
  # No "Nullsoft Install System" line at the foot of every page: NSIS leaves
  # it out for a text of one space. (CPack's CPACK_NSIS_BRANDING_TEXT adds a
  # /TRIM option, which makensis refuses on any host but Windows.)
  list(APPEND changes "@CPACK_NSIS_BRANDING_TEXT_CODE@" "BrandingText \" \"")
  # The GPL need not be accepted to install or run the program (its section
  # 9): the licence page says so and goes on with "Next", not "I Agree". The
  # texts are English in every language the installer speaks; the button is
  # the installer's own "Next".
  list(APPEND changes "@CPACK_NSIS_LICENSE_PAGE@"
    "!define MUI_PAGE_HEADER_TEXT \"License\"
  !define MUI_LICENSEPAGE_TEXT_TOP \"Press Page Down to see the rest of the license.\"
  !define MUI_LICENSEPAGE_TEXT_BOTTOM \"You need not accept this license to install or run $(^NameDA). It lets you copy, change and pass on the program under its terms.\"
  !define MUI_LICENSEPAGE_BUTTON \"$(^NextBtn)\"
  @CPACK_NSIS_LICENSE_PAGE@")
  while(changes)
    list(POP_FRONT changes from to)
    string(FIND "${template}" "${from}" found)
    if(found EQUAL -1)
      message(FATAL_ERROR "${cmake_template} has no '${from}' to make per user")
    endif()
    string(REPLACE "${from}" "${to}" template "${template}")
  endwhile()
  # A 64-bit installer for the 64-bit program (NSIS's default stub is x86),
  # said after the template's first line, which starts with a byte-order mark.
  string(FIND "${template}" "\n" first_line_end)
  math(EXPR second_line "${first_line_end} + 1")
  string(SUBSTRING "${template}" 0 ${second_line} first_line)
  string(SUBSTRING "${template}" ${second_line} -1 rest)
  file(WRITE "${output_dir}/NSIS.template.in" "${first_line}Target amd64-unicode\n${rest}")
endfunction()

# Read by CPack once per generator: where the package puts the zsh completion
# (packaging/CMakeLists.txt reads VORLA_ZSH_COMPLETIONS_DIR at install time).
# Debian's zsh reads /usr/share/zsh/vendor-completions; zsh on RPM-based
# systems reads /usr/share/zsh/site-functions.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_CUSTOM_INSTALL_VARIABLES "VORLA_ZSH_COMPLETIONS_DIR=share/zsh/vendor-completions")
elseif(CPACK_GENERATOR STREQUAL "RPM")
  set(CPACK_CUSTOM_INSTALL_VARIABLES "VORLA_ZSH_COMPLETIONS_DIR=share/zsh/site-functions")
endif()

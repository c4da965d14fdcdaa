# Install step: writes quillmark-erp.desktop with the installed executable's full path.
# Set before it runs: QUILLMARK_DESKTOP_TEMPLATE, QUILLMARK_BINDIR, QUILLMARK_DATADIR.
set(QUILLMARK_TRYEXEC "${CMAKE_INSTALL_PREFIX}/${QUILLMARK_BINDIR}/quillmark-erp")
if(QUILLMARK_TRYEXEC MATCHES "[\"`$\\\\]")
  message(FATAL_ERROR "install prefix ${CMAKE_INSTALL_PREFIX}: a desktop entry cannot name "
                      "an executable whose path holds quotes, backquotes, $ or backslashes")
endif()
# Exec takes a quoted path when it holds blanks; TryExec is a plain path.
set(QUILLMARK_EXEC "${QUILLMARK_TRYEXEC}")
if(QUILLMARK_TRYEXEC MATCHES "[ \t]")
  set(QUILLMARK_EXEC "\"${QUILLMARK_TRYEXEC}\"")
endif()
file(READ "${QUILLMARK_DESKTOP_TEMPLATE}" entry)
string(CONFIGURE "${entry}" entry @ONLY)
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${QUILLMARK_DATADIR}/applications")
file(MAKE_DIRECTORY "${target}")
file(WRITE "${target}/quillmark-erp.desktop" "${entry}")
message(STATUS "Installing: ${target}/quillmark-erp.desktop")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}/quillmark-erp.desktop")

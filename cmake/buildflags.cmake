# LK_DEBIAN_BUILDFLAGS: compile and link with the flags Debian builds its packages with, as
# dpkg-buildflags gives them, with every hardening feature on (fortify, stack protector, relro,
# bindnow, pie). The package preset turns it on; a development build keeps its own flags.
option(LK_DEBIAN_BUILDFLAGS "Build with the flags of dpkg-buildflags (hardening=+all)" OFF)
if(LK_DEBIAN_BUILDFLAGS)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    # Run from the source directory, so that -ffile-prefix-map names it.
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE LK_DEB_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  string(APPEND CMAKE_C_FLAGS " ${LK_DEB_CPPFLAGS} ${LK_DEB_CFLAGS}")
  string(APPEND CMAKE_CXX_FLAGS " ${LK_DEB_CPPFLAGS} ${LK_DEB_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${LK_DEB_LDFLAGS}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${LK_DEB_LDFLAGS}")
  message(STATUS "Debian build flags: ${CMAKE_CXX_FLAGS} | ${CMAKE_EXE_LINKER_FLAGS}")
endif()

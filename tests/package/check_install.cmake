# Installs the built program into a fresh prefix and checks what the desktop reads from it.
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()

foreach(file bin/lankutong
             share/applications/cn.lankutong.lankutong.desktop
             share/metainfo/cn.lankutong.lankutong.metainfo.xml
             share/icons/hicolor/16x16/apps/lankutong.png
             share/icons/hicolor/48x48/apps/lankutong.png
             share/icons/hicolor/256x256/apps/lankutong.png
             share/man/man1/lankutong.1.gz
             share/doc/lankutong/copyright
             share/doc/lankutong/changelog.gz)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

execute_process(COMMAND desktop-file-validate
                        ${PREFIX}/share/applications/cn.lankutong.lankutong.desktop
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${out}")
endif()
execute_process(COMMAND appstreamcli validate --no-net
                        ${PREFIX}/share/metainfo/cn.lankutong.lankutong.metainfo.xml
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${out}")
endif()

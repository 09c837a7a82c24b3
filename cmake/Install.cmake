# The install tree a host developer builds against:
#   include/LDExCore/        the framework's headers at the top, the library's
#                            public headers in their folders (html/, config/...)
#   lib/                     import libraries of LDExCore.dll and afx.dll
#   lib/cmake/LDExCore/      the CMake package (LDExCore::LDExCore, LDExCore::afx)
#   bin/                     what a host ships next to its executable, stripped
#   share/LDExCore/standins/ the stand-ins of the database engine, the user
#                            database library, the browser launcher and the
#                            package downloader, for running hosts in tests only
include(CMakePackageConfigHelpers)

set(LDX_INSTALL_INCLUDE_DIR include/LDExCore)
set(LDX_INSTALL_CMAKE_DIR lib/cmake/LDExCore)
set(LDX_INSTALL_STANDIN_DIR share/LDExCore/standins)

install(TARGETS LDExCore afx EXPORT LDExCoreTargets
  RUNTIME DESTINATION bin
  ARCHIVE DESTINATION lib
  INCLUDES DESTINATION ${LDX_INSTALL_INCLUDE_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/framework/include/ DESTINATION ${LDX_INSTALL_INCLUDE_DIR})

# Every header of a library folder is public unless its folder marks it
# internal with ldx_internal_headers.
get_property(LDX_INTERNAL_HEADER_PATHS GLOBAL PROPERTY LDX_INTERNAL_HEADERS)
foreach(subsystem IN LISTS LDX_SUBSYSTEMS)
  if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${subsystem}/CMakeLists.txt)
    continue()
  endif()
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${subsystem}/*.h)
  foreach(header IN LISTS headers)
    if(NOT header IN_LIST LDX_INTERNAL_HEADER_PATHS)
      install(FILES ${header} DESTINATION ${LDX_INSTALL_INCLUDE_DIR}/${subsystem})
    endif()
  endforeach()
endforeach()

foreach(dll IN LISTS LDX_RUNTIME_DLLS)
  install(FILES ${CMAKE_BINARY_DIR}/bin/${dll} DESTINATION bin)
endforeach()

# Debug information stays in the build tree; the shipped DLLs are stripped.
set(LDX_SHIPPED_DLLS LDExCore.dll afx.dll ${LDX_RUNTIME_DLLS})
install(CODE "
  foreach(dll ${LDX_SHIPPED_DLLS})
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${dll}\"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR \"stripping bin/\${dll} failed\")
    endif()
  endforeach()")

install(FILES $<TARGET_FILE:ctreestd> $<TARGET_FILE:lduserdb> DESTINATION ${LDX_INSTALL_STANDIN_DIR})
install(PROGRAMS $<TARGET_FILE:brwsapp> $<TARGET_FILE:ldsdnl> DESTINATION ${LDX_INSTALL_STANDIN_DIR})

install(EXPORT LDExCoreTargets NAMESPACE LDExCore:: DESTINATION ${LDX_INSTALL_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/LDExCoreConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/LDExCoreConfig.cmake
  INSTALL_DESTINATION ${LDX_INSTALL_CMAKE_DIR}
  PATH_VARS LDX_INSTALL_STANDIN_DIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/LDExCoreConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/LDExCoreConfig.cmake
              ${CMAKE_BINARY_DIR}/package/LDExCoreConfigVersion.cmake
        DESTINATION ${LDX_INSTALL_CMAKE_DIR})

# The install tree a host developer builds against:
#   include/LDExCore/        the framework's headers at the top, the library's
#                            public headers in their folders (html/, config/...),
#                            LDExCoreVersion.h
#   lib/                     import libraries of LDExCore.dll and afx.dll;
#                            in the Windows-ABI flavour also the start-up
#                            code for hosts (lib/startup/) and the import
#                            library of msvcrt.dll's C++ entry points
#   lib/cmake/LDExCore/      the CMake package (LDExCore::LDExCore, LDExCore::afx)
#   bin/                     what a host ships next to its executable, stripped
#   tools/                   the host tool ldhost.exe with what it needs to
#                            run, and ldx-run, which runs a Windows program of
#                            either architecture under Wine; never shipped
#   share/LDExCore/cmake/    toolchain files: both mingw-w64 architectures,
#                            or clang in the Windows ABI for msvc-i686
#   share/LDExCore/standins/ the stand-ins of the database engine, the user
#                            database library, the browser launcher and the
#                            package downloader, for running hosts in tests only
#   share/doc/LDExCore/      the host guide, the ABI and ordinal policy with
#                            the export table, the change log, and the sample
#                            host the guide describes (examples/host)
include(CMakePackageConfigHelpers)

set(LDX_INSTALL_INCLUDE_DIR include/LDExCore)
set(LDX_INSTALL_CMAKE_DIR lib/cmake/LDExCore)
set(LDX_INSTALL_TOOLS_DIR tools)
set(LDX_INSTALL_TOOLCHAIN_DIR share/LDExCore/cmake)
set(LDX_INSTALL_STANDIN_DIR share/LDExCore/standins)
set(LDX_INSTALL_DOC_DIR share/doc/LDExCore)

# The standard the installed headers are written in: a host compiles them
# as C++11 or later.
target_compile_features(LDExCore INTERFACE cxx_std_11)
target_compile_features(afx INTERFACE cxx_std_11)

install(TARGETS LDExCore afx EXPORT LDExCoreTargets
  RUNTIME DESTINATION bin
  ARCHIVE DESTINATION lib
  INCLUDES DESTINATION ${LDX_INSTALL_INCLUDE_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/framework/include/ DESTINATION ${LDX_INSTALL_INCLUDE_DIR})

if(LDX_MSVC_ABI)
  # A host of the Windows-ABI flavour has neither the C runtime's start-up
  # objects nor a C++ standard library: it links the start-up code of ours
  # (LDExCore::program_startup for a program, LDExCore::dll_startup for a
  # DLL) and gets the placement forms of new from <new> in cxx/.
  set_target_properties(ldx_program_startup PROPERTIES EXPORT_NAME program_startup)
  set_target_properties(ldx_dll_startup PROPERTIES EXPORT_NAME dll_startup)
  set_target_properties(ldx_default_dllmain PROPERTIES EXPORT_NAME default_dllmain)
  install(TARGETS ldx_program_startup ldx_dll_startup ldx_default_dllmain msvcrt_cxx EXPORT LDExCoreTargets
    OBJECTS DESTINATION lib/startup
    ARCHIVE DESTINATION lib)
  install(FILES ${CMAKE_BINARY_DIR}/startup/msvcrt_cxx.lib DESTINATION lib)
  install(FILES ${CMAKE_SOURCE_DIR}/startup/include/new DESTINATION ${LDX_INSTALL_INCLUDE_DIR}/cxx)
  set_property(TARGET afx APPEND PROPERTY INTERFACE_INCLUDE_DIRECTORIES
               $<INSTALL_INTERFACE:${LDX_INSTALL_INCLUDE_DIR}/cxx>)
endif()
install(FILES ${LDX_GENERATED_DIR}/LDExCoreVersion.h DESTINATION ${LDX_INSTALL_INCLUDE_DIR})

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
set(LDX_SHIPPED_DLLS LDExCore.dll afx.dll ${LDX_RUNTIME_DLLS})

# The host tool runs from its own folder: beside it go the DLLs it loads,
# the database engine's stand-in among them.
install(PROGRAMS $<TARGET_FILE:ldhost> DESTINATION ${LDX_INSTALL_TOOLS_DIR})
foreach(dll IN LISTS LDX_SHIPPED_DLLS)
  install(FILES ${CMAKE_BINARY_DIR}/bin/${dll} DESTINATION ${LDX_INSTALL_TOOLS_DIR})
endforeach()
install(FILES $<TARGET_FILE:ctreestd> DESTINATION ${LDX_INSTALL_TOOLS_DIR})
install(PROGRAMS ${CMAKE_SOURCE_DIR}/host/ldx-run DESTINATION ${LDX_INSTALL_TOOLS_DIR})

install(FILES $<TARGET_FILE:ctreestd> $<TARGET_FILE:lduserdb> DESTINATION ${LDX_INSTALL_STANDIN_DIR})
install(PROGRAMS $<TARGET_FILE:brwsapp> $<TARGET_FILE:ldsdnl> DESTINATION ${LDX_INSTALL_STANDIN_DIR})

# Debug information, and with it every path of the build tree, stays in the
# build tree: whatever Windows binary the package holds is stripped.
set(LDX_STRIPPED_FILES)
foreach(dll IN LISTS LDX_SHIPPED_DLLS)
  list(APPEND LDX_STRIPPED_FILES bin/${dll} ${LDX_INSTALL_TOOLS_DIR}/${dll})
endforeach()
list(APPEND LDX_STRIPPED_FILES ${LDX_INSTALL_TOOLS_DIR}/ldhost.exe ${LDX_INSTALL_TOOLS_DIR}/ctreestd.dll)
foreach(standin ctreestd.dll LDUSERDB.DLL brwsapp.exe ldsdnl.exe)
  list(APPEND LDX_STRIPPED_FILES ${LDX_INSTALL_STANDIN_DIR}/${standin})
endforeach()
install(CODE "
  foreach(file ${LDX_STRIPPED_FILES})
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR \"stripping \${file} failed\")
    endif()
  endforeach()")

# Toolchain files, so that a host configures with one line: the package
# holds those of the compilers whose hosts it serves.
if(LDX_MSVC_ABI)
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/toolchain-msvc-i686.cmake
                ${CMAKE_SOURCE_DIR}/cmake/msvc-rules.cmake
          DESTINATION ${LDX_INSTALL_TOOLCHAIN_DIR})
else()
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/toolchain-mingw-i686.cmake
                ${CMAKE_SOURCE_DIR}/cmake/toolchain-mingw-x86_64.cmake
                ${CMAKE_SOURCE_DIR}/cmake/mingw-common.cmake
          DESTINATION ${LDX_INSTALL_TOOLCHAIN_DIR})
endif()

# The documents, the ABI page completed with the export table of the
# module-definition fragments.
include(${CMAKE_SOURCE_DIR}/docs/ExportTable.cmake)
ldx_write_abi_page(${CMAKE_SOURCE_DIR}/docs/abi.md ${CMAKE_BINARY_DIR}/doc/abi.md)
# The change log links the ABI page where the checkout keeps it (docs/);
# installed, the page lies beside it.
file(READ ${CMAKE_SOURCE_DIR}/CHANGELOG.md LDX_CHANGELOG)
string(REPLACE "](docs/abi.md)" "](abi.md)" LDX_CHANGELOG "${LDX_CHANGELOG}")
file(WRITE ${CMAKE_BINARY_DIR}/doc/CHANGELOG.md "${LDX_CHANGELOG}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
install(FILES ${CMAKE_SOURCE_DIR}/docs/host-guide.md ${CMAKE_BINARY_DIR}/doc/abi.md ${CMAKE_BINARY_DIR}/doc/CHANGELOG.md
        DESTINATION ${LDX_INSTALL_DOC_DIR})
# The sample host, as the guide builds it against the installed package.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/host DESTINATION ${LDX_INSTALL_DOC_DIR}/examples)

install(EXPORT LDExCoreTargets NAMESPACE LDExCore:: DESTINATION ${LDX_INSTALL_CMAKE_DIR})
# Each flavour has a package of its own, which a host of the other kind of
# compiler does not find.
if(LDX_MSVC_ABI)
  set(ldx_config_template ${CMAKE_SOURCE_DIR}/cmake/LDExCoreMsvcConfig.cmake.in)
else()
  set(ldx_config_template ${CMAKE_SOURCE_DIR}/cmake/LDExCoreConfig.cmake.in)
endif()
configure_package_config_file(${ldx_config_template}
  ${CMAKE_BINARY_DIR}/package/LDExCoreConfig.cmake
  INSTALL_DESTINATION ${LDX_INSTALL_CMAKE_DIR}
  PATH_VARS LDX_INSTALL_STANDIN_DIR LDX_INSTALL_TOOLS_DIR LDX_INSTALL_TOOLCHAIN_DIR LDX_INSTALL_DOC_DIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/LDExCoreConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/LDExCoreConfig.cmake
              ${CMAKE_BINARY_DIR}/package/LDExCoreConfigVersion.cmake
        DESTINATION ${LDX_INSTALL_CMAKE_DIR})

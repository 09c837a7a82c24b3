# Run by CTest with cmake -P. Installs the build into a scratch prefix,
# checks what the tree holds, builds a copy of the installed sample host plus
# one translation unit per installed header against that tree alone, and
# runs the sample in the build's Wine prefix on a test install made by the
# installed host tool.
string(REPLACE "|" ";" INTERNAL_HEADERS "${INTERNAL_HEADERS}")
string(REPLACE "|" ";" SHIPPED_DLLS "${SHIPPED_DLLS}")
set(prefix ${WORK_DIR}/prefix)
set(project_dir ${WORK_DIR}/project)
set(build_dir ${WORK_DIR}/build)
set(run_dir ${WORK_DIR}/run)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${project_dir} ${run_dir})

function(run_step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}\n${err}")
  endif()
  set(step_output "${out}" PARENT_SCOPE)
endfunction()

# --- the install tree -------------------------------------------------------
run_step("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# The flavour in the Windows C++ ABI has import libraries and a toolchain
# file of its own, and start-up code for its hosts.
if(MSVC_ABI)
  set(toolchain_file ${prefix}/share/LDExCore/cmake/toolchain-msvc-i686.cmake)
  set(flavour_files lib/LDExCore.lib lib/afx.lib lib/msvcrt_cxx.lib include/LDExCore/cxx/new
      share/LDExCore/cmake/toolchain-msvc-i686.cmake share/LDExCore/cmake/msvc-rules.cmake)
else()
  set(toolchain_file ${prefix}/share/LDExCore/cmake/toolchain-mingw-${SYSTEM_PROCESSOR}.cmake)
  set(flavour_files lib/LDExCore.dll.a lib/afx.dll.a
      share/LDExCore/cmake/toolchain-mingw-i686.cmake
      share/LDExCore/cmake/toolchain-mingw-x86_64.cmake
      share/LDExCore/cmake/mingw-common.cmake)
endif()
foreach(file
    ${flavour_files}
    lib/cmake/LDExCore/LDExCoreConfig.cmake
    lib/cmake/LDExCore/LDExCoreConfigVersion.cmake
    include/LDExCore/afxwin.h
    include/LDExCore/LDExCoreVersion.h
    include/LDExCore/frame/LibraryEntry.h
    include/LDExCore/html/CHtmlStringSink.h
    include/LDExCore/config/CSettingsStore.h
    share/LDExCore/standins/ctreestd.dll
    share/doc/LDExCore/host-guide.md
    share/doc/LDExCore/abi.md
    share/doc/LDExCore/CHANGELOG.md
    share/doc/LDExCore/examples/host/CMakeLists.txt
    share/doc/LDExCore/examples/host/main.cpp
    tools/ldhost.exe
    tools/ldx-run)
  if(NOT EXISTS ${prefix}/${file})
    message(SEND_ERROR "the install tree lacks ${file}")
  endif()
endforeach()

foreach(header IN LISTS INTERNAL_HEADERS)
  if(EXISTS ${prefix}/include/LDExCore/${header})
    message(SEND_ERROR "internal header ${header} was installed")
  endif()
endforeach()

# bin/ holds exactly what a host ships, stripped of debug information.
file(GLOB shipped RELATIVE ${prefix}/bin ${prefix}/bin/*)
list(SORT shipped)
set(expected ${SHIPPED_DLLS})
list(SORT expected)
if(NOT shipped STREQUAL expected)
  message(SEND_ERROR "bin/ holds [${shipped}], expected [${expected}]")
endif()
# Every Windows binary of the package is stripped and names no path of the
# build or source tree.
file(GLOB_RECURSE binaries RELATIVE ${prefix} ${prefix}/*.dll ${prefix}/*.DLL ${prefix}/*.exe)
list(REMOVE_DUPLICATES binaries)
foreach(binary IN LISTS binaries)
  run_step("objdump" ${OBJDUMP} -h ${prefix}/${binary})
  if(step_output MATCHES "\\.debug_")
    message(SEND_ERROR "${binary} carries debug sections")
  endif()
  file(STRINGS ${prefix}/${binary} tree_paths REGEX "${SOURCE_DIR}")
  if(tree_paths)
    message(SEND_ERROR "${binary} names the source or build tree: ${tree_paths}")
  endif()
endforeach()

# The version header and the export table come from the one version and the
# module-definition fragments.
file(READ ${prefix}/include/LDExCore/LDExCoreVersion.h version_header)
string(REPLACE "." ";" version_parts "${VERSION}")
list(GET version_parts 0 major)
list(GET version_parts 1 minor)
list(GET version_parts 2 patch)
foreach(define "LDEXCORE_VERSION_MAJOR ${major}" "LDEXCORE_VERSION_MINOR ${minor}"
               "LDEXCORE_VERSION_PATCH ${patch}" "LDEXCORE_VERSION_STRING \"${VERSION}\"")
  string(FIND "${version_header}" "#define ${define}\n" at)
  if(at EQUAL -1)
    message(SEND_ERROR "LDExCoreVersion.h lacks #define ${define}")
  endif()
endforeach()
file(READ ${prefix}/share/doc/LDExCore/abi.md abi_page)
foreach(row "| 37 | `frame/` | `CLogFile::CLogFile(int)` | `_ZN8CLogFileC1Ei` |"
            "| 1017 | `frame/` | `CLogFile::StartAtLevel(unsigned short)` | `_ZN8CLogFile12StartAtLevelEt` |")
  string(FIND "${abi_page}" "${row}\n" at)
  if(at EQUAL -1)
    message(SEND_ERROR "abi.md lacks the row ${row}")
  endif()
endforeach()
if(abi_page MATCHES "<!-- export table -->")
  message(SEND_ERROR "abi.md still holds the table's placeholder")
endif()

# Every relative link of the installed documents names a file of the tree.
# Square brackets would group list items: they are replaced first.
file(GLOB documents ${prefix}/share/doc/LDExCore/*.md)
foreach(document IN LISTS documents)
  file(READ ${document} text)
  string(REPLACE "[" "<" text "${text}")
  string(REPLACE "]" ">" text "${text}")
  string(REGEX MATCHALL ">\\([^);#:]+\\)" links "${text}")
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^>\\((.*)\\)$" "\\1" target "${link}")
    get_filename_component(folder ${document} DIRECTORY)
    if(NOT EXISTS ${folder}/${target})
      message(SEND_ERROR "${document} links ${target}, which the tree lacks")
    endif()
  endforeach()
endforeach()

# The imported targets ask for the standard their headers are written in.
file(READ ${prefix}/lib/cmake/LDExCore/LDExCoreTargets.cmake targets)
if(NOT targets MATCHES "INTERFACE_COMPILE_FEATURES \"cxx_std_11\"")
  message(SEND_ERROR "the imported targets declare no C++ standard")
endif()

# A host built with UNICODE stops at the first framework header, with one
# error that says why.
# (The headers are the same in every flavour: checked with mingw-w64 GCC.)
file(WRITE ${WORK_DIR}/unicode.cpp "#include <afxwin.h>\n#include <html/CHtmlStringSink.h>\n")
set(unicode_definitions UNICODE _UNICODE)
if(MSVC_ABI)
  set(unicode_definitions)
endif()
foreach(definition IN LISTS unicode_definitions)
  execute_process(COMMAND ${CXX_COMPILER} -std=c++17 -D${definition} -I${prefix}/include/LDExCore -fsyntax-only
                          ${WORK_DIR}/unicode.cpp
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX MATCHALL "error:" errors "${err}")
  list(LENGTH errors error_count)
  if(result EQUAL 0 OR NOT error_count EQUAL 1 OR NOT err MATCHES "single-byte \\(TCHAR is char\\)")
    message(SEND_ERROR "-D${definition} gave ${error_count} errors:\n${err}")
  endif()
endforeach()

# The runner picks the loader of the program's architecture.
if(SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(expected_loader "/usr/lib/wine/wine64 ")
else()
  set(expected_loader "wine ")
endif()
execute_process(COMMAND ${prefix}/tools/ldx-run --print ${prefix}/tools/ldhost.exe version
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT out STREQUAL "${expected_loader}${prefix}/tools/ldhost.exe version\n")
  message(SEND_ERROR "ldx-run --print gave ${result}: ${out}${err}")
endif()

# --- the flavours never mix -------------------------------------------------
# A host of the Itanium ABI (mingw-w64 GCC) does not find the Windows-ABI
# package: it says which package that host needs instead.
if(MSVC_ABI)
  file(WRITE ${WORK_DIR}/gcc-host/CMakeLists.txt "
cmake_minimum_required(VERSION 3.20)
project(GccHost LANGUAGES CXX)
find_package(LDExCore CONFIG REQUIRED)
")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${WORK_DIR}/gcc-host -B ${WORK_DIR}/gcc-host/build -G ${GENERATOR}
    -DCMAKE_TOOLCHAIN_FILE=${SOURCE_DIR}/cmake/toolchain-mingw-i686.cmake -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \n]+" " " err_text "${err}")
  if(result EQUAL 0 OR NOT err_text MATCHES "Hosts built with mingw-w64 GCC use the i686 package")
    message(SEND_ERROR "a GCC host configured against the msvc-i686 package (${result}):\n${out}\n${err}")
  endif()
endif()

# --- a project that uses the installed package ------------------------------
# The installed sample is copied, so that nothing of the source tree can be
# reached; each installed header gets a translation unit of its own, which
# fails when it needs a header that was not installed or included first.
file(COPY ${prefix}/share/doc/LDExCore/examples/host DESTINATION ${project_dir})
file(GLOB_RECURSE headers RELATIVE ${prefix}/include/LDExCore ${prefix}/include/LDExCore/*.h)
set(header_units)
foreach(header IN LISTS headers)
  string(MAKE_C_IDENTIFIER ${header} unit)
  file(WRITE ${project_dir}/headers/${unit}.cpp "#include <${header}>\n")
  list(APPEND header_units headers/${unit}.cpp)
endforeach()
file(WRITE ${project_dir}/CMakeLists.txt "
cmake_minimum_required(VERSION 3.20)
project(PackageUser LANGUAGES CXX)
find_package(LDExCore ${VERSION} EXACT CONFIG REQUIRED)
file(WRITE \${CMAKE_BINARY_DIR}/found.txt \"\${LDExCore_DIR}|\${LDExCore_VERSION}\")
add_library(installed_headers OBJECT ${header_units})
target_link_libraries(installed_headers PRIVATE LDExCore::LDExCore)
# The oldest standard the targets declare.
set_target_properties(installed_headers PROPERTIES CXX_STANDARD 11 CXX_EXTENSIONS OFF)
add_subdirectory(host)
")

# Configured as the host guide says: the package's toolchain file and prefix.
run_step("configuring against the package" ${CMAKE_COMMAND} -S ${project_dir} -B ${build_dir} -G ${GENERATOR}
  -DCMAKE_TOOLCHAIN_FILE=${toolchain_file} -DCMAKE_PREFIX_PATH=${prefix}
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
file(READ ${build_dir}/found.txt found)
if(NOT found STREQUAL "${prefix}/lib/cmake/LDExCore|${VERSION}")
  message(SEND_ERROR "found the package as ${found}")
endif()
run_step("building against the package" ${CMAKE_COMMAND} --build ${build_dir})
# This scratch area lies inside the source tree's build folder: beyond it,
# no compile command may name a path of the source tree.
file(READ ${build_dir}/compile_commands.json commands)
string(REPLACE "${WORK_DIR}" "" commands "${commands}")
string(FIND "${commands}" "${SOURCE_DIR}" source_reference)
if(NOT source_reference EQUAL -1)
  message(SEND_ERROR "the build reached into the source tree: ${commands}")
endif()

# --- the sample host under Wine ---------------------------------------------
# It runs on a test install that the installed host tool makes (the product
# key's directories, with the folders), run twice to see the user's settings
# kept. The product key of the build's prefix is put back afterwards, before
# any result is judged.
foreach(file page.html report.tpl sample.ini)
  file(COPY ${SOURCE_DIR}/examples/host/${file} DESTINATION ${run_dir})
endforeach()
set(product_key "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Lodestar\\CurrentVersion")
execute_process(COMMAND ${BUILD_DIR}/wine-run reg export ${product_key} saved-product-key.reg /y
  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE had_product_key OUTPUT_QUIET ERROR_QUIET)
string(REPLACE "/" "\\" install_dir "Z:${WORK_DIR}/install")
execute_process(COMMAND ${BUILD_DIR}/wine-run ${prefix}/tools/ldhost.exe test-install ${install_dir}
  WORKING_DIRECTORY ${run_dir} RESULT_VARIABLE install_result OUTPUT_VARIABLE install_out ERROR_VARIABLE install_err)
foreach(run 1 2)
  execute_process(COMMAND ${BUILD_DIR}/wine-run ${build_dir}/host/samplehost.exe page.html report.tpl report.txt sample.ini
    WORKING_DIRECTORY ${run_dir} RESULT_VARIABLE result_${run} OUTPUT_VARIABLE out_${run} ERROR_VARIABLE err_${run})
  string(REPLACE "\r" "" out_${run} "${out_${run}}")
endforeach()
execute_process(COMMAND ${BUILD_DIR}/wine-run reg delete ${product_key} /f OUTPUT_QUIET ERROR_QUIET)
if(had_product_key EQUAL 0)
  execute_process(COMMAND ${BUILD_DIR}/wine-run reg import saved-product-key.reg WORKING_DIRECTORY ${WORK_DIR}
    OUTPUT_QUIET ERROR_QUIET)
endif()

if(NOT install_result EQUAL 0)
  message(FATAL_ERROR "ldhost test-install exited with ${install_result}:\n${install_out}\n${install_err}")
endif()
foreach(run 1 2)
  if(NOT result_${run} EQUAL 0)
    message(FATAL_ERROR "samplehost exited with ${result_${run}} in run ${run}:\n${out_${run}}\n${err_${run}}")
  endif()
  foreach(line "title: Compass & map" "tags: 8" "links: 2" "report: report.txt" "summary: Compass & map: 2 links"
               "log: Lodestar.log" "runs: ${run}")
    string(FIND "${out_${run}}" "${line}\n" at)
    if(at EQUAL -1)
      message(SEND_ERROR "samplehost did not print \"${line}\" in run ${run}:\n${out_${run}}")
    endif()
  endforeach()
endforeach()

# Without the engine's DLL beside it the sample cannot start: ldx-run names
# the DLL that is missing.
set(no_engine_dir ${WORK_DIR}/no-engine)
file(MAKE_DIRECTORY ${no_engine_dir})
file(GLOB sample_files ${build_dir}/host/*.exe ${build_dir}/host/*.dll)
file(COPY ${sample_files} DESTINATION ${no_engine_dir})
file(REMOVE ${no_engine_dir}/ctreestd.dll)
file(STRINGS ${BUILD_DIR}/wine-run wine_prefix_line REGEX "^export WINEPREFIX=")
string(REGEX REPLACE "^export WINEPREFIX=\"(.*)\"$" "\\1" wine_prefix "${wine_prefix_line}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=WINEDEBUG WINEPREFIX=${wine_prefix}
                        ${prefix}/tools/ldx-run ${no_engine_dir}/samplehost.exe --help
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 53 OR NOT err MATCHES "ctreestd\\.dll" OR NOT err MATCHES "ldx-run: exit code 53")
  message(SEND_ERROR "samplehost without ctreestd.dll gave ${result}:\n${out}\n${err}")
endif()

# file(READ) drops carriage returns, so the line ends are checked on the
# bytes: every LF has one CR before it, and there is no other CR (a file
# written in text mode would hold CR CR LF). In ASCII text each 0a, 0d and
# 0d0a of the hex dump is a whole byte.
function(read_crlf_text path var)
  file(READ ${path} text)
  file(READ ${path} hex HEX)
  string(REGEX MATCHALL "0a" line_feeds "${hex}")
  string(REGEX MATCHALL "0d" returns "${hex}")
  string(REGEX MATCHALL "0d0a" crlf_pairs "${hex}")
  list(LENGTH line_feeds lf_count)
  list(LENGTH returns cr_count)
  list(LENGTH crlf_pairs crlf_count)
  if(NOT (lf_count EQUAL crlf_count AND cr_count EQUAL crlf_count))
    message(SEND_ERROR "${path}: ${lf_count} LF, ${cr_count} CR, ${crlf_count} CR LF")
  endif()
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

read_crlf_text(${run_dir}/report.txt report)
if(NOT report STREQUAL "Page report\nTitle: Compass & map\nLinks: 2\nTags: 8\n")
  message(SEND_ERROR "report.txt holds [${report}]")
endif()
read_crlf_text(${run_dir}/Lodestar.log log)
if(NOT log MATCHES "\\[[0-9a-f]+\\]sample host: page.html has 2 links\n")
  message(SEND_ERROR "Lodestar.log holds [${log}]")
endif()

# --- the host tool from the package -----------------------------------------
# tools/ holds every DLL the tool loads: it runs from there alone.
execute_process(COMMAND ${BUILD_DIR}/wine-run ${prefix}/tools/ldhost.exe version
  WORKING_DIRECTORY ${run_dir} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r" "" out "${out}")
if(NOT result EQUAL 0 OR NOT out STREQUAL "${VERSION}.0\n")
  message(SEND_ERROR "tools/ldhost.exe version gave ${result}: ${out}${err}")
endif()

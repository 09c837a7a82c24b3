# ldx_sources(PORTABLE files... WIN32 files...)
#   Adds library sources from the calling subsystem folder. PORTABLE sources
#   build everywhere (also natively on Linux); WIN32 sources only in the DLL.
function(ldx_sources)
  cmake_parse_arguments(ARG "" "" "PORTABLE;WIN32" ${ARGN})
  foreach(src IN LISTS ARG_PORTABLE)
    target_sources(LDExCore PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${src})
  endforeach()
  if(WIN32)
    foreach(src IN LISTS ARG_WIN32)
      target_sources(LDExCore PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${src})
    endforeach()
  endif()
endfunction()

# ldx_internal_headers(files...)
#   Marks headers of the calling subsystem folder as internal: the install
#   tree leaves them out. Every other header of a library folder is public.
#   A public header must not include an internal one.
function(ldx_internal_headers)
  foreach(header IN LISTS ARGN)
    set_property(GLOBAL APPEND PROPERTY LDX_INTERNAL_HEADERS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
  endforeach()
endfunction()

# ldx_module_definition(target)
#   Builds the target's module-definition file from the exports.def fragment
#   of every subsystem folder (ordinal lines only), so each subsystem keeps
#   its own ordinals next to its code.
function(ldx_module_definition target)
  set(def_text "LIBRARY ${target}.dll\nEXPORTS\n")
  file(GLOB fragments ${CMAKE_SOURCE_DIR}/*/exports.def)
  list(SORT fragments)
  foreach(fragment IN LISTS fragments)
    file(READ ${fragment} text)
    string(APPEND def_text "${text}\n")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${fragment})
  endforeach()
  set(def_file ${CMAKE_BINARY_DIR}/${target}.def)
  file(WRITE ${def_file}.tmp "${def_text}")
  file(COPY_FILE ${def_file}.tmp ${def_file} ONLY_IF_DIFFERENT)
  target_sources(${target} PRIVATE ${def_file})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR})
endfunction()

# ldx_add_test(name SOURCES files... LIBS libs... [LOCKS resources...])
#   One GoogleTest executable, run by CTest as one test (through Wine on the
#   Windows build). LOCKS serialises executables that share registry keys,
#   files or windows.
function(ldx_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LOCKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_LOCKS}")
  endif()
endfunction()

# ldx_add_subdirectories([EXCEPT names...])
#   Adds every folder below the calling folder that has a CMakeLists.txt,
#   except the ones named (which the caller adds itself, e.g. first).
function(ldx_add_subdirectories)
  cmake_parse_arguments(ARG "" "" "EXCEPT" ${ARGN})
  file(GLOB dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir IN LISTS dirs)
    get_filename_component(name ${dir} NAME)
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt AND NOT name IN_LIST ARG_EXCEPT)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# ldx_add_test_program(name files...)
#   A helper program that tests start as a process of its own (beside the
#   test executables), linked with the library and the framework.
function(ldx_add_test_program name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE LDExCore afx)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()

# ldx_add_fuzz_target(name SOURCES files... [LIBS libs...])
#   A libFuzzer executable for the fuzz build (scripts/build fuzz: native,
#   clang, -DLDX_FUZZ=ON); elsewhere it adds nothing. The harness alone links
#   the fuzzer's main; the library and the portable framework get coverage
#   instrumentation so that the fuzzer steers by the code under test, and
#   every sanitizer report aborts the run instead of scrolling past. Each
#   target is listed in the build's fuzz-targets.txt for scripts/fuzz; its
#   seed inputs, when any, lie in the calling folder's fuzz-seeds/NAME.
function(ldx_add_fuzz_target name)
  if(NOT LDX_FUZZ)
    return()
  endif()
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LDX_FUZZ needs the native build with clang (scripts/build fuzz)")
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  get_property(instrumented GLOBAL PROPERTY LDX_FUZZ_INSTRUMENTED)
  if(NOT instrumented)
    foreach(library LDExCore afx)
      target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link -fno-sanitize-recover=all)
    endforeach()
    set_property(GLOBAL PROPERTY LDX_FUZZ_INSTRUMENTED TRUE)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz-targets.txt "")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer -fno-sanitize-recover=all)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE LDExCore afx ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz-seeds/${name})
  file(APPEND ${CMAKE_BINARY_DIR}/fuzz-targets.txt "${name} ${seeds}\n")
endfunction()

# ldx_msvc_module_definition(target)
#   The Windows-ABI build's module-definition file, made before every link
#   from the folders' exports.def files and the target's objects
#   (cmake/msvc-exports.py): each entry's Windows-ABI counterpart at the
#   same ordinal, by ordinal only. The link fails when an ordinal has no
#   counterpart (other than those cmake/msvc-unmatched-ordinals.txt allows)
#   or two. TARGET-exports.txt in the build folder reports the collapsed
#   constructor and destructor twins and the ordinals left out.
function(ldx_msvc_module_definition target)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  file(GLOB fragments ${CMAKE_SOURCE_DIR}/*/exports.def)
  list(SORT fragments)
  set(def_file ${CMAKE_BINARY_DIR}/${target}.def)
  add_custom_command(TARGET ${target} PRE_LINK
    COMMAND ${CMAKE_COMMAND} -E env LDX_LLVM_NM=${LDX_LLVM_NM} LDX_LLVM_CXXFILT=${LDX_LLVM_CXXFILT}
            LDX_LLVM_UNDNAME=${LDX_LLVM_UNDNAME}
            ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/msvc-exports.py
            ${def_file} ${CMAKE_BINARY_DIR}/${target}-exports.txt ${target}.dll
            ${CMAKE_SOURCE_DIR}/cmake/msvc-unmatched-ordinals.txt ${fragments} -- $<TARGET_OBJECTS:${target}>
    COMMENT "Module-definition file of ${target} from the exports.def files"
    COMMAND_EXPAND_LISTS VERBATIM)
  target_link_options(${target} PRIVATE LINKER:/def:${def_file})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${fragments})
endfunction()

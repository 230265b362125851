# One place for the flags every target of the project shares.

function(quillmark_apply_flags target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_definitions(${target} PUBLIC
    QT_NO_CAST_TO_ASCII
    QT_RESTRICTED_CAST_FROM_ASCII
    QT_NO_FOREACH
    QT_NO_JAVA_STYLE_ITERATORS
    QT_USE_QSTRINGBUILDER)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
  if(QUILLMARK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(QUILLMARK_SANITIZE)
    # The instrumentation makes GCC's flow analysis report values as maybe uninitialized that
    # are not (GCC's manual advises against -Werror with sanitizers for this); the other build
    # keeps that warning.
    target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

# quillmark_library(NAME [HEADLESS]): a layer of the program; sources are added by the
# folders through target_sources. The sanitizer build links its layers as shared libraries: there
# every test program holding its own instrumented copy of every layer would take many gigabytes.
function(quillmark_library name)
  if(QUILLMARK_SANITIZE)
    add_library(${name} SHARED)
  else()
    add_library(${name} STATIC)
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  quillmark_apply_flags(${name})
endfunction()

# quillmark_test(NAME SOURCES ... LIBS ... [GUI]): one GoogleTest program registered with CTest.
# Tests carry the label "headless" or "gui"; a build with QUILLMARK_HEADLESS_ONLY leaves the GUI
# tests out (the sanitizer build runs both kinds). Parameterized cases are listed by their own
# names (a name generator beside each table), not by their values.
function(quillmark_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_GUI AND QUILLMARK_HEADLESS_ONLY)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  quillmark_apply_flags(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock quillmark_testsupport
                        $<IF:$<BOOL:${ARG_GUI}>,quillmark_testmain_gui,quillmark_testmain>)
  target_compile_definitions(${name} PRIVATE
    QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUILLMARK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               LABELS "$<IF:$<BOOL:${ARG_GUI}>,gui,headless>")
endfunction()

# quillmark_fake_engine(NAME): the test program drives the scripted stand-in for the engine
# (tools/fakesidecar): it is built first, the program finds it at QUILLMARK_FAKE_SIDECAR, and the
# engine tests' helpers (tests/engine) are on its include path. Nothing for a program not built.
function(quillmark_fake_engine name)
  if(NOT TARGET ${name})
    return()
  endif()
  add_dependencies(${name} fakesidecar)
  target_compile_definitions(${name} PRIVATE QUILLMARK_FAKE_SIDECAR="$<TARGET_FILE:fakesidecar>")
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
endfunction()

# quillmark_tool(NAME SOURCES ... LIBS ...): a small command-line program for tests and benchmarks.
function(quillmark_tool name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  quillmark_apply_flags(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

# quillmark_bench(NAME SOURCES ... LIBS ...): a Google Benchmark program, built but never run by tests.
function(quillmark_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  quillmark_apply_flags(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE QUILLMARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()

# quillmark_add_folders(FOLDER ...): adds each folder of the current directory that has a
# CMakeLists.txt, and includes every <topic>.cmake file in it: a folder shared by several topics
# holds one such file per topic, which names its files through ${CMAKE_CURRENT_LIST_DIR}.
# A macro, so the topic files run in the caller's scope.
macro(quillmark_add_folders)
  foreach(folder ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/CMakeLists.txt)
      add_subdirectory(${folder})
    endif()
    file(GLOB topic_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cmake)
    foreach(topic ${topic_files})
      include(${topic})
    endforeach()
  endforeach()
endmacro()

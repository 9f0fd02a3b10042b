# Widget code lives beside the logic it shows, in files whose name ends in
# _window, _dialog, _panel, _view or _widget; everything else in those folders
# is core and must not see QtWidgets, so that the command line and the tests
# reach every algorithm.
set(KORVO_GUI_FILE_REGEX "_(window|dialog|panel|view|widget)\\.(cpp|h)$")

# The folders from the bottom layer up: a file may include headers of its own
# folder and of the folders before it, never of a folder after it.
set(KORVO_LAYER_ORDER engine db kernel session repository builder sqlgen cli app)

# Collect the sources of the given folders under src/, split into core and gui.
function(korvo_collect_sources out_core out_gui)
  set(core "")
  set(gui "")
  foreach(folder IN LISTS ARGN)
    file(GLOB files CONFIGURE_DEPENDS
         "${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp"
         "${PROJECT_SOURCE_DIR}/src/${folder}/*.h")
    foreach(f IN LISTS files)
      get_filename_component(name "${f}" NAME)
      if(name MATCHES "${KORVO_GUI_FILE_REGEX}")
        list(APPEND gui "${f}")
      else()
        list(APPEND core "${f}")
      endif()
    endforeach()
  endforeach()
  set(${out_core} "${core}" PARENT_SCOPE)
  set(${out_gui} "${gui}" PARENT_SCOPE)
endfunction()

# The build refuses a non-widget source that includes a widget header.
function(korvo_forbid_widgets)
  foreach(f IN LISTS ARGN)
    file(STRINGS "${f}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](QtWidgets/|QtGui/|QWidget|QMainWindow|QDialog|QMessageBox|QApplication|QAbstractButton|QPushButton|QLabel|QTreeWidget|QTableWidget)")
    if(hits)
      message(FATAL_ERROR "${f} includes a widget header but is not a widget file "
                          "(name it *_window/*_dialog/*_panel/*_view/*_widget): ${hits}")
    endif()
  endforeach()
endfunction()

# The build refuses an include against the layer order.
function(korvo_check_layers folder)
  list(FIND KORVO_LAYER_ORDER "${folder}" own)
  foreach(f IN LISTS ARGN)
    file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z]+)/.*" "\\1" target "${line}")
      list(FIND KORVO_LAYER_ORDER "${target}" rank)
      if(rank GREATER own)
        message(FATAL_ERROR "${f} includes ${target}/, a layer above ${folder}/: ${line}")
      endif()
    endforeach()
  endforeach()
endfunction()

# One helper adds every test executable: offscreen platform and a private home,
# so no test reads or writes the user's own files.
function(korvo_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  # The source tree for tests that read shipped files, also when a test runs
  # without ctest's environment (ccache may rewrite __FILE__ to a relative path).
  target_compile_definitions(${name} PRIVATE KORVO_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set(home "${CMAKE_BINARY_DIR}/testhome/${name}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_DATA_HOME=${home}/data;XDG_CONFIG_HOME=${home}/config;XDG_RUNTIME_DIR=${home}/run;KORVO_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
      TIMEOUT 300)
endfunction()

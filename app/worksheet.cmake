# Input checks, state file and default error handler: Qt-free, shared with the
# command-line tool and the tests.
target_sources(pavona_app_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/platform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/input_validation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/state_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plain_text_pages.cpp)

if(PAVONA_BUILD_GUI)
  # The windows and the Qt side of the platform layer. The compute command and
  # the results window add their sources to this library.
  add_library(pavona_gui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/qt_platform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_platform.h
    ${CMAKE_CURRENT_LIST_DIR}/worksheet_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/worksheet_form.h
    ${CMAKE_CURRENT_LIST_DIR}/compute_command.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pavona.qrc)
  set_target_properties(pavona_gui PROPERTIES AUTORCC ON)
  target_include_directories(pavona_gui PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(pavona_gui PUBLIC pavona_app_core Qt6::Widgets Qt6::PrintSupport)

  add_executable(pavona ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
  target_link_libraries(pavona PRIVATE pavona_gui)
endif()

# Data file reader, analysis and report: Qt-free, shared by the window and the
# command-line tool.
target_sources(pavona_app_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/data_file_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/console_platform.cpp)

# The command-line tool; it never links Qt.
add_executable(pavona-cli ${CMAKE_CURRENT_LIST_DIR}/cli_main.cpp)
target_link_libraries(pavona-cli PRIVATE pavona_app_core)

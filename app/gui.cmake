# The windows (a library, so the GUI tests link them) and the program.
# Included from the top-level list file; paths are relative to this folder.
add_library(veltrim_windows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Artwork.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditionLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FlatButtonStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageBoxSink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowBuilder.cpp
)
set_target_properties(veltrim_windows PROPERTIES AUTOMOC ON)
target_link_libraries(veltrim_windows PUBLIC veltrim_gui veltrim_core Qt6::Widgets
                                      PRIVATE veltrim_warnings)

add_executable(veltrim ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
set_target_properties(veltrim PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/app)
target_link_libraries(veltrim PRIVATE veltrim_windows veltrim_warnings)
